// The framework's date-time: a double counting days since 30 December 1899, the fraction
// being the time of day. Texts use the platform's short date and long time formats.
#pragma once

#include "platform/win32.h"

#include <string>

// Fails (returns false) for dates outside 1..9999 or fields out of range.
bool TryEncodeDateTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                       WORD millisecond, double& result);
// Whole milliseconds, rounded as the framework does.
bool DecodeDateTime(double value, SYSTEMTIME& result);
bool SystemTimeToDateTime(const SYSTEMTIME& time, double& result);
double Now();

// The standard date-time text: the short date, a blank and the long time; the time part is
// left out when the value lies exactly on midnight.
std::string DateTimeToStr(double value);
std::string DateToStr(double value);
std::string TimeToStr(double value);
// Formats with the platform's pattern letters: d dd M MM yyyy yy H HH h hh m mm s ss.
std::string FormatDateTimePattern(const std::string& pattern, const SYSTEMTIME& time);
