// The platform clock: host UTC plus the stored offset. SetSystemTime moves only the offset,
// and only for an administrator, to the millisecond. Local time follows the host's time zone
// (TZ works). A test's simulated waits move the host clock on (simulated_time.h).
#include "platform/filetime.h"
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

// Days from 1601-01-01 for a proleptic Gregorian date.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 134774; // 1970 -> 1601
}

void civilFromDays(std::int64_t days1601, int& y, unsigned& m, unsigned& d) {
    std::int64_t z = days1601 - 134774 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
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
    st.wDayOfWeek = static_cast<WORD>((days + 1) % 7); // 1601-01-01 was a Monday
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

// ---- The framework's date-time ---------------------------------------------------------

namespace {
constexpr double kMsPerDay = 86400000.0;
// Days from 1601-01-01 to 1899-12-30.
const std::int64_t kDateDelta = daysFromCivil(1899, 12, 30);
} // namespace

bool TryEncodeDateTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                       WORD millisecond, double& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || hour > 23 || minute > 59 || second > 59 ||
        millisecond > 999)
        return false;
    const double days = static_cast<double>(daysFromCivil(year, month, day) - kDateDelta);
    const double time =
        (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / kMsPerDay;
    // Before 1899-12-30 the fraction counts away from zero as well.
    result = days >= 0 ? days + time : days - time;
    return true;
}

bool DecodeDateTime(double value, SYSTEMTIME& result) {
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0) return false;
    const double wholeDays = std::trunc(value);
    std::int64_t ms = std::llround(std::fabs(value - wholeDays) * kMsPerDay);
    std::int64_t days = static_cast<std::int64_t>(wholeDays);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value >= 0 ? 1 : -1;
    }
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days + kDateDelta, y, m, d);
    result = {};
    result.wYear = static_cast<WORD>(y);
    result.wMonth = static_cast<WORD>(m);
    result.wDay = static_cast<WORD>(d);
    result.wDayOfWeek = static_cast<WORD>(((days + kDateDelta) % 7 + 8) % 7);
    result.wHour = static_cast<WORD>(ms / 3600000);
    result.wMinute = static_cast<WORD>(ms / 60000 % 60);
    result.wSecond = static_cast<WORD>(ms / 1000 % 60);
    result.wMilliseconds = static_cast<WORD>(ms % 1000);
    return true;
}

bool SystemTimeToDateTime(const SYSTEMTIME& time, double& result) {
    return TryEncodeDateTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                             time.wSecond, time.wMilliseconds, result);
}

double Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double value = 0;
    SystemTimeToDateTime(st, value);
    return value;
}

std::string FormatDateTimePattern(const std::string& pattern, const SYSTEMTIME& t) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        auto number = [&](int value, std::size_t width) {
            std::string digits = std::to_string(value);
            while (digits.size() < width)
                digits.insert(digits.begin(), '0');
            out += digits;
        };
        switch (c) {
        case 'd':
            number(t.wDay, run >= 2 ? 2 : 1);
            break;
        case 'M':
            number(t.wMonth, run >= 2 ? 2 : 1);
            break;
        case 'y':
            if (run >= 3)
                number(t.wYear, 4);
            else
                number(t.wYear % 100, 2);
            break;
        case 'H':
            number(t.wHour, run >= 2 ? 2 : 1);
            break;
        case 'h':
            number(t.wHour % 12 == 0 ? 12 : t.wHour % 12, run >= 2 ? 2 : 1);
            break;
        case 'm':
            number(t.wMinute, run >= 2 ? 2 : 1);
            break;
        case 's':
            number(t.wSecond, run >= 2 ? 2 : 1);
            break;
        case 't':
            out += t.wHour < 12 ? (run >= 2 ? "AM" : "A") : (run >= 2 ? "PM" : "P");
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

std::string DateToStr(double value) {
    SYSTEMTIME st;
    return DecodeDateTime(value, st) ? FormatDateTimePattern(setting("short-date"), st)
                                     : std::string();
}

std::string TimeToStr(double value) {
    SYSTEMTIME st;
    return DecodeDateTime(value, st) ? FormatDateTimePattern(setting("long-time"), st)
                                     : std::string();
}

std::string DateTimeToStr(double value) {
    SYSTEMTIME st;
    if (!DecodeDateTime(value, st)) return {};
    std::string text = FormatDateTimePattern(setting("short-date"), st);
    if (st.wHour || st.wMinute || st.wSecond || st.wMilliseconds)
        text += " " + FormatDateTimePattern(setting("long-time"), st);
    return text;
}
