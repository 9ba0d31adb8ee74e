// The platform clock: host UTC plus the stored offset. SetSystemTime moves only the offset,
// and only for an administrator, to the millisecond. Local time follows the host's time zone
// (TZ works). A test's simulated waits move the host clock on (simulated_time.h).
#include "platform/calendar.h"
#include "platform/filetime.h"
#include "platform/locale_formats.h"
#include "platform/root.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

using namespace platform;

namespace {

constexpr std::int64_t kEpochDifference = kSecondsFrom1601To1970;

constexpr std::int64_t kTicksPerMillisecond = 10000;

std::int64_t hostNowTicks() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto hundredNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
    return hundredNs + kEpochDifference * kTicksPerSecond +
           simulatedMilliseconds() * kTicksPerMillisecond;
}

std::int64_t systemNowTicks() {
    return hostNowTicks() + clockOffsetMilliseconds() * kTicksPerMillisecond;
}

// The bias of the host time zone at the current moment, as Windows applies the current bias
// to every file time it converts.
std::int64_t currentBiasSeconds() {
    const std::time_t now =
        static_cast<std::time_t>(systemNowTicks() / kTicksPerSecond - kEpochDifference);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local.tm_gmtoff;
}

SYSTEMTIME systemTimeOf(std::uint64_t ticks) {
    const std::uint64_t totalSeconds = ticks / kTicksPerSecond;
    const std::int64_t days = static_cast<std::int64_t>(totalSeconds / 86400);
    const std::uint64_t secondsOfDay = totalSeconds % 86400;
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days, y, m, d);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wDayOfWeek = static_cast<WORD>(dayOfWeek(days));
    st.wHour = static_cast<WORD>(secondsOfDay / 3600);
    st.wMinute = static_cast<WORD>(secondsOfDay / 60 % 60);
    st.wSecond = static_cast<WORD>(secondsOfDay % 60);
    st.wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
    return st;
}

bool validSystemTime(const SYSTEMTIME& st) {
    return st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 && st.wMonth <= 12 &&
           st.wDay >= 1 && st.wDay <= daysInMonth(st.wYear, st.wMonth) && st.wHour < 24 &&
           st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

std::uint64_t ticksOfSystemTime(const SYSTEMTIME& st) {
    const std::int64_t days = daysFromCivil(st.wYear, st.wMonth, st.wDay);
    const std::int64_t seconds = days * 86400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    return static_cast<std::uint64_t>(seconds) * kTicksPerSecond +
           static_cast<std::uint64_t>(st.wMilliseconds) * 10000;
}

} // namespace

void GetSystemTimeAsFileTime(LPFILETIME fileTime) {
    if (fileTime) *fileTime = fileTimeOf(static_cast<std::uint64_t>(systemNowTicks()));
}

void GetSystemTime(LPSYSTEMTIME systemTime) {
    if (systemTime) *systemTime = systemTimeOf(static_cast<std::uint64_t>(systemNowTicks()));
}

BOOL SetSystemTime(const SYSTEMTIME* systemTime) {
    if (!systemTime || !validSystemTime(*systemTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!isAdministrator()) {
        SetLastError(ERROR_PRIVILEGE_NOT_HELD);
        return FALSE;
    }
    const std::int64_t wanted = static_cast<std::int64_t>(ticksOfSystemTime(*systemTime));
    const std::int64_t difference = wanted - hostNowTicks();
    // To the nearest millisecond, the grain of the time given.
    const std::int64_t half = difference < 0 ? -kTicksPerMillisecond / 2 : kTicksPerMillisecond / 2;
    setSetting("clock-offset", formatClockOffset((difference + half) / kTicksPerMillisecond));
    return TRUE;
}

void GetLocalTime(LPSYSTEMTIME systemTime) {
    if (!systemTime) return;
    const std::int64_t ticks = systemNowTicks();
    const std::time_t now = static_cast<std::time_t>(ticks / kTicksPerSecond - kEpochDifference);
    std::tm local{};
    ::localtime_r(&now, &local);
    *systemTime =
        systemTimeOf(static_cast<std::uint64_t>(ticks + local.tm_gmtoff * kTicksPerSecond));
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
    if (!fileTime || !localFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::int64_t ticks = static_cast<std::int64_t>(ticksOf(*fileTime));
    *localFileTime =
        fileTimeOf(static_cast<std::uint64_t>(ticks + currentBiasSeconds() * kTicksPerSecond));
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
    if (!fileTime || !localFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::int64_t ticks = static_cast<std::int64_t>(ticksOf(*localFileTime));
    *fileTime =
        fileTimeOf(static_cast<std::uint64_t>(ticks - currentBiasSeconds() * kTicksPerSecond));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
    if (!fileTime || !systemTime || (fileTime->dwHighDateTime & 0x80000000u)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *systemTime = systemTimeOf(ticksOf(*fileTime));
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
    if (!systemTime || !fileTime || !validSystemTime(*systemTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *fileTime = fileTimeOf(ticksOfSystemTime(*systemTime));
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime) {
    SYSTEMTIME st;
    if (!fileTime || !fatDate || !fatTime || !FileTimeToSystemTime(fileTime, &st) ||
        st.wYear < 1980 || st.wYear > 2107) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *fatDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    *fatTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
    return TRUE;
}

BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, LPFILETIME fileTime) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>((fatDate >> 9) + 1980);
    st.wMonth = static_cast<WORD>((fatDate >> 5) & 0x0F);
    st.wDay = static_cast<WORD>(fatDate & 0x1F);
    st.wHour = static_cast<WORD>(fatTime >> 11);
    st.wMinute = static_cast<WORD>((fatTime >> 5) & 0x3F);
    st.wSecond = static_cast<WORD>((fatTime & 0x1F) * 2);
    if (!fileTime || !SystemTimeToFileTime(&st, fileTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    if (simulateSleep(milliseconds)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace platform {

std::string shortDateFormat() {
    return setting("short-date");
}

std::string longTimeFormat() {
    return setting("long-time");
}

} // namespace platform
