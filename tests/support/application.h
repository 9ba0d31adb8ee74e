// The one QApplication of a test program, created offscreen with the program's font on first
// use.
#pragma once

#include <gtest/gtest.h>

namespace testing_support {

void EnsureApplication();

// As a fixture's first member: widgets among the later members find the application.
struct ApplicationReady {
    ApplicationReady() { EnsureApplication(); }
};

// A fixture for widget tests without a platform root.
class QtTest : public ::testing::Test {
  protected:
    QtTest() { EnsureApplication(); }
};

} // namespace testing_support
