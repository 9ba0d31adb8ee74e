// Favorites tests on the hosted machine: the Favorites folder of favorites_files.h and the
// sounds the platform logged.
#pragma once

#include "favorites_files.h"

#include "platform/root.h"
#include "platform/taskalloc.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace favorites_test {

// Beeps the platform logged in record mode.
inline int beeps() {
    int n = 0;
    for (const auto& entry : platform::shellLog())
        if (entry.kind == "sound" && entry.operation == "beep") ++n;
    return n;
}

} // namespace favorites_test
