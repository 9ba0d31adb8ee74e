// What the clock tests share: ticks of FILETIME and SYSTEMTIME, the host's clock, a sample.
#pragma once

#include "conformance.h"
#include "platform/filetime.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"

#include <chrono>
#include <cstdint>

namespace clock_test {

using ClockTest = testing_support::PlatformTest;

constexpr std::uint64_t kTicksPerSecond = platform::kTicksPerSecond;

inline std::uint64_t ticks(const FILETIME& ft) {
    return platform::ticksOf(ft);
}
inline FILETIME fileTime(std::uint64_t t) {
    return platform::fileTimeOf(t);
}

// The host's own clock, read past the platform.
inline std::uint64_t hostNowTicks() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return platform::ticksFromUnix(ns / 1000000000, static_cast<long>(ns % 1000000000));
}

inline SYSTEMTIME makeTime(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0,
                           WORD ms = 0) {
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    st.wMilliseconds = ms;
    return st;
}

inline std::uint64_t
ticksOf(const SYSTEMTIME& st,
        const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return ticks(ft);
}

// 2001-05-26 17:34:46.789 UTC, a Saturday.
constexpr std::uint64_t kSampleTicks = 126353720867890000ULL;

} // namespace clock_test
