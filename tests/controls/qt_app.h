// The one QApplication the control tests share, created on first use.
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

namespace controls_test {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "test_controls";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Made in the constructor, so that widget members of derived fixtures find the application.
class QtTest : public ::testing::Test {
  protected:
    QtTest() { application(); }
};

} // namespace controls_test
