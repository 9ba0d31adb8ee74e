// Lets a test helper that checks name the line that called it: every failure inside the
// helper is reported with "called from <file>:<line>" of the caller, as a check written in
// the test itself would be. The helper takes
//     const testing_support::Caller& caller = testing_support::Caller::current()
// as its last parameter and starts with `const testing_support::CallerTrace trace(caller);`.
#pragma once

#include <gtest/gtest.h>

#include <source_location>

namespace testing_support {

using Caller = std::source_location;

class CallerTrace {
  public:
    explicit CallerTrace(const Caller& caller)
        : trace_(caller.file_name(), static_cast<int>(caller.line()), "called from here") {}
    CallerTrace(const CallerTrace&) = delete;
    CallerTrace& operator=(const CallerTrace&) = delete;

  private:
    ::testing::ScopedTrace trace_;
};

} // namespace testing_support
