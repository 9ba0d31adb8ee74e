#include "clock_support.h"
#include "support/wine.h"

#include <cmath>
#include <cstdlib>

using namespace conformance;
using namespace clock_test;

TEST_F(ClockTest, SystemTimeIsTheHostsUtc) {
    SYSTEMTIME now;
    fillJunk(now);
    GetSystemTime(&now);
    const std::uint64_t host = hostNowTicks();
    const std::uint64_t platformNow = ticksOf(now);
    EXPECT_LT(platformNow > host ? platformNow - host : host - platformNow, 2 * kTicksPerSecond);

    FILETIME asFileTime;
    GetSystemTimeAsFileTime(&asFileTime);
    EXPECT_LT(ticks(asFileTime) - platformNow, 2 * kTicksPerSecond);
}

// Without the privilege to set the clock (a user's program on Windows, where even an
// administrator's program must first enable it; a user on the hosted platform) the call fails
// and the clock stays where it was. A time that is no time is refused first.
TEST_F(ClockTest, SettingTheTimeWithoutThePrivilegeLeavesTheClockAlone) {
    const SYSTEMTIME wanted = makeTime(2030, 1, 2, 3, 4, 5);
    junkLastError();
    EXPECT_FALSE(SetSystemTime(&wanted));
    EXPECT_EQ(ERROR_PRIVILEGE_NOT_HELD, GetLastError());
    SYSTEMTIME now;
    GetSystemTime(&now);
    const std::uint64_t platformNow = ticksOf(now);
    const std::uint64_t host = hostNowTicks();
    EXPECT_LT(platformNow > host ? platformNow - host : host - platformNow, 2 * kTicksPerSecond);

    for (const SYSTEMTIME& invalid : {makeTime(2030, 13, 1), makeTime(2030, 2, 30)}) {
        junkLastError();
        EXPECT_FALSE(SetSystemTime(&invalid));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }
}

// Windows applies the bias in force now to every time it converts, winter or summer, and
// local time is system time moved by that bias. Under any zone.
TEST_F(ClockTest, LocalTimesUseTheBiasInForceNow) {
    SYSTEMTIME utcNow;
    SYSTEMTIME localNow;
    fillJunk(localNow);
    GetSystemTime(&utcNow);
    GetLocalTime(&localNow);
    // The bias in whole minutes (zones are offset by multiples of 15 minutes).
    const std::int64_t measured =
        static_cast<std::int64_t>(ticksOf(localNow)) - static_cast<std::int64_t>(ticksOf(utcNow));
    const std::int64_t minute = 60 * static_cast<std::int64_t>(kTicksPerSecond);
    const std::int64_t bias = (measured + (measured >= 0 ? minute / 2 : -minute / 2)) / minute;

    const auto localOf = [](std::uint64_t utc) {
        const FILETIME in = fileTime(utc);
        FILETIME out;
        fillJunk(out);
        EXPECT_TRUE(FileTimeToLocalFileTime(&in, &out));
        return static_cast<std::int64_t>(ticks(out)) - static_cast<std::int64_t>(utc);
    };
    const std::uint64_t winter = ticksOf(makeTime(2001, 1, 15, 12));
    const std::uint64_t summer = ticksOf(makeTime(2001, 7, 15, 12));
    EXPECT_EQ(bias * minute, localOf(winter));
    EXPECT_EQ(bias * minute, localOf(summer));
    EXPECT_EQ(bias * minute, localOf(kSampleTicks));

    const FILETIME local = fileTime(kSampleTicks + static_cast<std::uint64_t>(bias * minute));
    FILETIME back;
    fillJunk(back);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(kSampleTicks, ticks(back));

    SYSTEMTIME fromNow;
    ASSERT_TRUE(DecodeDateTime(Now(), fromNow));
    EXPECT_EQ(localNow.wYear, fromNow.wYear);
    EXPECT_EQ(localNow.wDay, fromNow.wDay);
}

// The text of a date-time is its date and its time in the user's formats; midnight shows the
// date alone.
TEST_F(ClockTest, DateTimeTextLeavesTheTimeOutAtMidnight) {
    double value = 0;
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 17, 34, 46, 0, value));
    const std::string date = DateToStr(value);
    const std::string time = TimeToStr(value);
    EXPECT_NE(std::string::npos, date.find("26"));
    EXPECT_NE(std::string::npos, date.find("2001"));
    EXPECT_NE(std::string::npos, time.find("34"));
    EXPECT_NE(std::string::npos, time.find("46"));
    EXPECT_EQ(date + " " + time, DateTimeToStr(value));
    double midnight = 0;
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 0, 0, 0, 0, midnight));
    EXPECT_EQ(date, DateTimeToStr(midnight));
    EXPECT_EQ("", DateTimeToStr(std::nan("")));
}

TEST_F(ClockTest, FileTimeAndSystemTimeConvertBothWays) {
    const FILETIME sample = fileTime(kSampleTicks);
    SYSTEMTIME st;
    fillJunk(st);
    ASSERT_TRUE(FileTimeToSystemTime(&sample, &st));
    EXPECT_EQ(2001, st.wYear);
    EXPECT_EQ(5, st.wMonth);
    EXPECT_EQ(26, st.wDay);
    EXPECT_EQ(6, st.wDayOfWeek);
    EXPECT_EQ(17, st.wHour);
    EXPECT_EQ(34, st.wMinute);
    EXPECT_EQ(46, st.wSecond);
    EXPECT_EQ(789, st.wMilliseconds);
    EXPECT_EQ(kSampleTicks, ticksOf(st));

    const FILETIME zero = fileTime(0);
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &st));
    EXPECT_EQ(1601, st.wYear);
    EXPECT_EQ(1, st.wDayOfWeek); // a Monday
    EXPECT_EQ(0u, ticksOf(makeTime(1601, 1, 1)));
    EXPECT_NE(0u, ticksOf(makeTime(2000, 2, 29)));

    const SYSTEMTIME invalid[] = {
        makeTime(2001, 0, 1),           makeTime(2001, 13, 1),
        makeTime(2001, 4, 31),          makeTime(2001, 1, 0),
        makeTime(2001, 1, 1, 24),       makeTime(2001, 1, 1, 0, 60),
        makeTime(2001, 1, 1, 0, 0, 60), makeTime(2001, 1, 1, 0, 0, 0, 1000),
        makeTime(1600, 12, 31),
    };
    for (const auto& bad : invalid) {
        FILETIME out;
        fillJunk(out);
        const FILETIME junk = out;
        junkLastError();
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &out))
            << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay << " " << bad.wHour << ":"
            << bad.wMinute << ":" << bad.wSecond << "." << bad.wMilliseconds;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
        EXPECT_EQ(ticks(junk), ticks(out));
    }

    const FILETIME negative = {0, 0x80000000u};
    junkLastError();
    EXPECT_FALSE(FileTimeToSystemTime(&negative, &st));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(ClockTest, DosDateTimeCoversTheYears1980To2107InTwoSecondSteps) {
    WORD date = 0x1234;
    WORD time = 0x1234;
    FILETIME ft = fileTime(ticksOf(makeTime(1980, 1, 1)));
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(0x0021, date);
    EXPECT_EQ(0x0000, time);

    ft = fileTime(ticksOf(makeTime(2107, 12, 31, 23, 59, 59, 999)));
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(0xFF9F, date);
    EXPECT_EQ(0xBF7D, time); // 23:59:58

    ft = fileTime(ticksOf(makeTime(2001, 5, 26, 17, 34, 47)));
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(((2001 - 1980) << 9) | (5 << 5) | 26, date);
    EXPECT_EQ((17 << 11) | (34 << 5) | 23, time);
    FILETIME back;
    fillJunk(back);
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, &back));
    EXPECT_EQ(ticksOf(makeTime(2001, 5, 26, 17, 34, 46)), ticks(back));

    for (const SYSTEMTIME& outside : {makeTime(1979, 12, 31, 23, 59, 59), makeTime(1601, 1, 1)}) {
        ft = fileTime(ticksOf(outside));
        date = 0x1234;
        time = 0x1234;
        junkLastError();
        EXPECT_FALSE(FileTimeToDosDateTime(&ft, &date, &time)) << outside.wYear;
        EXPECT_NE(kJunkError, GetLastError());
        EXPECT_EQ(0x1234, date);
    }
    const FILETIME zero = fileTime(0);
    EXPECT_FALSE(FileTimeToDosDateTime(&zero, &date, &time));
}

TEST_F(ClockTest, FrameworkDateTimeCountsDaysFrom1899) {
    double value = -99;
    ASSERT_TRUE(TryEncodeDateTime(1899, 12, 30, 0, 0, 0, 0, value));
    EXPECT_EQ(0.0, value);
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 17, 34, 46, 0, value));
    EXPECT_NEAR(37037.0 + (17 * 3600 + 34 * 60 + 46) / 86400.0, value, 1e-9);
    SYSTEMTIME st;
    fillJunk(st);
    ASSERT_TRUE(DecodeDateTime(value, st));
    EXPECT_EQ(2001, st.wYear);
    EXPECT_EQ(5, st.wMonth);
    EXPECT_EQ(26, st.wDay);
    EXPECT_EQ(6, st.wDayOfWeek);
    EXPECT_EQ(17, st.wHour);
    EXPECT_EQ(34, st.wMinute);
    EXPECT_EQ(46, st.wSecond);
    EXPECT_EQ(0, st.wMilliseconds);

    // Before 1899-12-30 the values are negative, the time of day counting away from zero.
    ASSERT_TRUE(TryEncodeDateTime(1899, 12, 29, 12, 0, 0, 0, value));
    EXPECT_EQ(-1.5, value);
    ASSERT_TRUE(DecodeDateTime(-1.5, st));
    EXPECT_EQ(1899, st.wYear);
    EXPECT_EQ(29, st.wDay);
    EXPECT_EQ(12, st.wHour);
    ASSERT_TRUE(TryEncodeDateTime(1800, 1, 1, 0, 0, 0, 0, value));
    EXPECT_EQ(-36522.0, value);

    const WORD invalidDates[][3] = {{1900, 2, 29}, {2001, 13, 1}, {0, 1, 1}, {10000, 1, 1}};
    for (const auto& date : invalidDates) {
        value = -99;
        EXPECT_FALSE(TryEncodeDateTime(date[0], date[1], date[2], 0, 0, 0, 0, value))
            << date[0] << "-" << date[1] << "-" << date[2];
        EXPECT_EQ(-99, value);
    }
    EXPECT_FALSE(TryEncodeDateTime(2001, 1, 1, 24, 0, 0, 0, value));
    EXPECT_FALSE(DecodeDateTime(std::nan(""), st));
    EXPECT_FALSE(DecodeDateTime(1e9, st));
}

TEST_F(ClockTest, TheTwentyNinthOfFebruaryIsADateOnlyInLeapYears) {
    SKIP_ON_WINE("SystemTimeToFileTime takes 29 February of any year (2001, 1900) as a date");
    for (const SYSTEMTIME& bad : {makeTime(2001, 2, 29), makeTime(1900, 2, 29)}) {
        FILETIME out;
        fillJunk(out);
        const FILETIME junk = out;
        junkLastError();
        EXPECT_FALSE(SystemTimeToFileTime(&bad, &out)) << bad.wYear;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
        EXPECT_EQ(ticks(junk), ticks(out));
    }
    const SYSTEMTIME leapDay = makeTime(2000, 2, 29);
    FILETIME leap;
    EXPECT_TRUE(SystemTimeToFileTime(&leapDay, &leap));
}

// The format ends with 2107; a date it cannot hold fails and says why.
TEST_F(ClockTest, DosDateTimeRefusesWhatTheFormatCannotHold) {
    SKIP_ON_WINE("FileTimeToDosDateTime turns a time in 2108 into a date of 1980, and "
                 "DosDateTimeToFileTime fails on month 0 without setting the last error");
    WORD date = 0x1234;
    WORD time = 0x1234;
    const FILETIME late = fileTime(ticksOf(makeTime(2108, 1, 1)));
    junkLastError();
    EXPECT_FALSE(FileTimeToDosDateTime(&late, &date, &time));
    EXPECT_NE(kJunkError, GetLastError());
    EXPECT_EQ(0x1234, date);

    FILETIME untouched;
    fillJunk(untouched);
    junkLastError();
    EXPECT_FALSE(DosDateTimeToFileTime(0x0000, 0x0000, &untouched)); // month 0
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}
