// Wine is a second implementation of the Windows API, incomplete in places. A test that meets
// such a place skips there, naming what Wine does; everywhere else it runs as it is.
#pragma once

#include <gtest/gtest.h>

namespace testing_support {

// True when the test program runs under Wine; always false on the hosted platform.
bool runningOnWine();

} // namespace testing_support

// Skips the rest of the test under Wine; the reason says what Wine does instead.
#define SKIP_ON_WINE(reason)                                                                       \
    if (::testing_support::runningOnWine()) GTEST_SKIP() << "Wine: " << reason
