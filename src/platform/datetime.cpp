// The framework's date-time over the platform's clock and the user's formats; plain code over
// win32.h, the same on the hosted platform and on Windows.
#include "platform/calendar.h"
#include "platform/locale_formats.h"
#include "platform/win32.h"

#include <cmath>

using namespace platform;

namespace {
constexpr double kMsPerDay = 86400000.0;
// Days from 1601-01-01 to 1899-12-30.
constexpr std::int64_t kDateDelta = daysFromCivil(1899, 12, 30);
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
    result.wDayOfWeek = static_cast<WORD>(dayOfWeek(days + kDateDelta));
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
    return DecodeDateTime(value, st) ? FormatDateTimePattern(shortDateFormat(), st) : std::string();
}

std::string TimeToStr(double value) {
    SYSTEMTIME st;
    return DecodeDateTime(value, st) ? FormatDateTimePattern(longTimeFormat(), st) : std::string();
}

std::string DateTimeToStr(double value) {
    SYSTEMTIME st;
    if (!DecodeDateTime(value, st)) return {};
    std::string text = FormatDateTimePattern(shortDateFormat(), st);
    if (st.wHour || st.wMinute || st.wSecond || st.wMilliseconds)
        text += " " + FormatDateTimePattern(longTimeFormat(), st);
    return text;
}
