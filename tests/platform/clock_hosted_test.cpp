// The hosted clock's own promises: an offset kept in the root that an administrator moves
// and every process sees, the host's time zone (TZ), the formats kept as settings, and the
// simulated waits of the tests.
#include "clock_support.h"
#include "platform/root.h"
#include "platform/simulated_time.h"
#include "support/child_process.h"
#include "support/time_zone.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace conformance;
using namespace clock_test;
using testing_support::ScopedTimeZone;

namespace {

// Milliseconds of platform time minus host time: what SetSystemTime has moved the clock by.
std::int64_t platformAheadOfHostMs() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    const std::uint64_t host = hostNowTicks();
    return (static_cast<std::int64_t>(ticksOf(now)) - static_cast<std::int64_t>(host)) / 10000;
}

} // namespace

TEST_F(ClockTest, SettingTheTimeNeedsTheAdministratorAndMovesOnlyTheOffset) {
    const SYSTEMTIME wanted = makeTime(2030, 1, 2, 3, 4, 5);
    junkLastError();
    EXPECT_FALSE(SetSystemTime(&wanted));
    EXPECT_EQ(ERROR_PRIVILEGE_NOT_HELD, GetLastError());
    EXPECT_EQ(0, platform::clockOffsetSeconds());

    platform::setSetting("admin", "yes");
    ASSERT_TRUE(SetSystemTime(&wanted));
    SYSTEMTIME now;
    GetSystemTime(&now);
    const std::uint64_t platformNow = ticksOf(now);
    EXPECT_GE(platformNow + kTicksPerSecond, ticksOf(wanted));
    EXPECT_LT(platformNow, ticksOf(wanted) + 3 * kTicksPerSecond);
    const std::int64_t expectedOffset =
        static_cast<std::int64_t>(ticksOf(wanted) / kTicksPerSecond) -
        static_cast<std::int64_t>(hostNowTicks() / kTicksPerSecond);
    EXPECT_LE(std::llabs(platform::clockOffsetSeconds() - expectedOffset), 2);

    FILETIME asFileTime;
    GetSystemTimeAsFileTime(&asFileTime);
    EXPECT_LT(ticks(asFileTime) - platformNow, 2 * kTicksPerSecond);

    // Back to the host's time: the offset returns to (about) zero.
    SYSTEMTIME host;
    FILETIME hostFt = fileTime(hostNowTicks());
    ASSERT_TRUE(FileTimeToSystemTime(&hostFt, &host));
    ASSERT_TRUE(SetSystemTime(&host));
    EXPECT_LE(std::llabs(platform::clockOffsetSeconds()), 1);

    SYSTEMTIME invalid = makeTime(2030, 13, 1);
    junkLastError();
    EXPECT_FALSE(SetSystemTime(&invalid));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(ClockTest, LocalFileTimeAppliesTheZonesBias) {
    const FILETIME utc = fileTime(kSampleTicks);
    FILETIME local;
    {
        ScopedTimeZone zone("XYZ-3"); // three hours east of UTC, no daylight saving
        fillJunk(local);
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        EXPECT_EQ(kSampleTicks + 3 * 3600 * kTicksPerSecond, ticks(local));
        FILETIME back;
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(kSampleTicks, ticks(back));
    }
    {
        ScopedTimeZone zone("ABC5");
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        EXPECT_EQ(kSampleTicks - 5 * 3600 * kTicksPerSecond, ticks(local));
    }
    {
        // As on Windows, the bias in force now applies to every time, winter or summer.
        ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
        const FILETIME winter = fileTime(ticksOf(makeTime(2001, 1, 15, 12)));
        const FILETIME summer = fileTime(ticksOf(makeTime(2001, 7, 15, 12)));
        FILETIME localWinter;
        FILETIME localSummer;
        ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &localWinter));
        ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &localSummer));
        const std::uint64_t biasWinter = ticks(localWinter) - ticks(winter);
        EXPECT_EQ(biasWinter, ticks(localSummer) - ticks(summer));
        EXPECT_TRUE(biasWinter == 3600 * kTicksPerSecond || biasWinter == 7200 * kTicksPerSecond);
    }
    junkLastError();
    EXPECT_FALSE(FileTimeToLocalFileTime(&utc, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(ClockTest, DateTimeTextUsesTheDefaultFormats) {
    double value = 0;
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 17, 34, 46, 0, value));
    EXPECT_EQ("26.05.2001 17:34:46", DateTimeToStr(value));
    EXPECT_EQ("26.05.2001", DateToStr(value));
    EXPECT_EQ("17:34:46", TimeToStr(value));
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 6, 9, 5, 3, 0, value));
    EXPECT_EQ("06.05.2001 09:05:03", DateTimeToStr(value));
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 0, 0, 0, 0, value));
    EXPECT_EQ("26.05.2001", DateTimeToStr(value));
    EXPECT_EQ("30.12.1899", DateTimeToStr(0.0));

    platform::setSetting("short-date", "yyyy-MM-dd");
    platform::setSetting("long-time", "h:mm tt");
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 17, 4, 46, 0, value));
    EXPECT_EQ("2001-05-26 5:04 PM", DateTimeToStr(value));
}

TEST_F(ClockTest, LocalTimeIsSystemTimeMovedByTheZone) {
    ScopedTimeZone zone("XYZ-3");
    SYSTEMTIME utc;
    SYSTEMTIME local;
    fillJunk(local);
    GetSystemTime(&utc);
    GetLocalTime(&local);
    const std::int64_t difference = static_cast<std::int64_t>(ticksOf(local)) -
                                    static_cast<std::int64_t>(ticksOf(utc)) -
                                    3 * 3600 * static_cast<std::int64_t>(kTicksPerSecond);
    EXPECT_LT(std::llabs(difference), 2 * static_cast<std::int64_t>(kTicksPerSecond));

    SYSTEMTIME fromNow;
    ASSERT_TRUE(DecodeDateTime(Now(), fromNow));
    EXPECT_EQ(local.wYear, fromNow.wYear);
    EXPECT_EQ(local.wDay, fromNow.wDay);
}

// The clock lives in the root, so a time set by one process is the time of every other.
TEST_F(ClockTest, AnotherProcessSeesTheTimeThatWasSet) {
    platform::setSetting("admin", "yes");
    SYSTEMTIME before;
    GetSystemTime(&before); // this process has read the clock once already
    ASSERT_EQ(0, testing_support::RunInChildProcess([] {
                  const SYSTEMTIME wanted = makeTime(2030, 1, 2, 3, 4, 5);
                  return SetSystemTime(&wanted) ? 0 : 1;
              }));
    // Other processes' commits are looked for at most once a millisecond; a fast child can
    // finish inside that window.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    SYSTEMTIME now;
    GetSystemTime(&now);
    EXPECT_EQ(2030, now.wYear);
    EXPECT_EQ(1, now.wMonth);
    EXPECT_EQ(2, now.wDay);
}

TEST_F(ClockTest, SettingTheTimeKeepsItsMilliseconds) {
    platform::setSetting("admin", "yes");
    // Times a quarter and three quarters past a whole second: a clock kept in whole seconds
    // would be off by at least a fifth of a second after one of them.
    SYSTEMTIME wanted;
    for (WORD milliseconds : {250, 750}) {
        SCOPED_TRACE(milliseconds);
        FILETIME target = fileTime(hostNowTicks() + 3600 * kTicksPerSecond);
        ASSERT_TRUE(FileTimeToSystemTime(&target, &wanted));
        wanted.wMilliseconds = milliseconds;
        const std::int64_t expectedAhead = (static_cast<std::int64_t>(ticksOf(wanted)) -
                                            static_cast<std::int64_t>(hostNowTicks())) /
                                           10000;
        ASSERT_TRUE(SetSystemTime(&wanted));
        EXPECT_LT(std::llabs(platformAheadOfHostMs() - expectedAhead), 20) << milliseconds;
        EXPECT_EQ(platform::clockOffsetMilliseconds() / 1000, platform::clockOffsetSeconds());
    }

    // Without the privilege the clock stays where it is, to the millisecond.
    const std::string offset = platform::setting("clock-offset");
    platform::setSetting("admin", "no");
    junkLastError();
    EXPECT_FALSE(SetSystemTime(&wanted));
    EXPECT_EQ(ERROR_PRIVILEGE_NOT_HELD, GetLastError());
    EXPECT_EQ(offset, platform::setting("clock-offset"));
}

TEST_F(ClockTest, ClockOffsetTextHoldsSecondsWithUpToThreeDecimals) {
    std::int64_t ms = 0;
    const std::pair<const char*, std::int64_t> good[] = {
        {"0", 0},       {"-3600", -3600000}, {"86400.25", 86400250},
        {"+1.5", 1500}, {"-0.001", -1},      {"12.345", 12345}};
    for (const auto& [text, expected] : good) {
        ASSERT_TRUE(platform::parseClockOffset(text, ms)) << text;
        EXPECT_EQ(expected, ms) << text;
        std::int64_t again = 0;
        ASSERT_TRUE(platform::parseClockOffset(platform::formatClockOffset(expected), again));
        EXPECT_EQ(expected, again) << platform::formatClockOffset(expected);
    }
    EXPECT_EQ("-0.001", platform::formatClockOffset(-1));
    EXPECT_EQ("86400.25", platform::formatClockOffset(86400250));
    for (const char* bad : {"", "-", "1.", ".5", "1.2345", "12s", "1e3", " 1", "9999999999999"})
        EXPECT_FALSE(platform::parseClockOffset(bad, ms)) << bad;
    // A stored offset that cannot be read counts as none.
    platform::setSetting("clock-offset", "soon");
    EXPECT_EQ(0, platform::clockOffsetMilliseconds());
}

TEST_F(ClockTest, SimulatedWaitsMoveEveryClockWithoutWaiting) {
    const ULONGLONG ticksBefore = GetTickCount64();
    const auto realStart = std::chrono::steady_clock::now();
    std::vector<std::int64_t> aheadWhileWaiting;
    {
        platform::SimulatedTime simulated;
        simulated.OnSleep([&](DWORD) { aheadWhileWaiting.push_back(platformAheadOfHostMs()); });
        Sleep(200);
        Sleep(90000);
        EXPECT_EQ(90200, simulated.PassedMilliseconds());
        // The platform clock and the tick count moved on together; the host clock did not.
        EXPECT_GE(GetTickCount64() - ticksBefore, 90200u);
        EXPECT_NEAR(90200.0, static_cast<double>(platformAheadOfHostMs()), 50.0);
        SYSTEMTIME utc;
        GetSystemTime(&utc);
        EXPECT_NEAR(90.2, static_cast<double>(ticksOf(utc) - hostNowTicks()) / kTicksPerSecond,
                    0.05);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
    ASSERT_EQ(2u, aheadWhileWaiting.size());
    EXPECT_NEAR(0.0, static_cast<double>(aheadWhileWaiting[0]), 50.0);
    EXPECT_NEAR(200.0, static_cast<double>(aheadWhileWaiting[1]), 50.0);
    // Afterwards the clocks are the host's again, and Sleep waits for real.
    EXPECT_NEAR(0.0, static_cast<double>(platformAheadOfHostMs()), 50.0);
    const auto before = std::chrono::steady_clock::now();
    Sleep(5);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(5));
}
