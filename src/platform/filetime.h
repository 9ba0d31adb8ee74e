// FILETIME as the 64-bit count of 100-nanosecond ticks since 1 January 1601 (UTC), and the
// way from host times to it. Shared by the platform, its tool and their tests.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace platform {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerDay = 86400 * kTicksPerSecond;
// Seconds from 1601-01-01 to the host's epoch, 1970-01-01.
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;

constexpr std::uint64_t ticksOf(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

constexpr FILETIME fileTimeOf(std::uint64_t ticks) {
    return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// A host time (seconds and nanoseconds since 1970) as ticks.
constexpr std::uint64_t ticksFromUnix(std::int64_t seconds, long nanoseconds = 0) {
    return static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

constexpr FILETIME fileTimeFromUnix(std::int64_t seconds, long nanoseconds = 0) {
    return fileTimeOf(ticksFromUnix(seconds, nanoseconds));
}

} // namespace platform
