// Runs part of a test in a forked child with its own connection to the test's platform root,
// as another process of the machine would.
#pragma once

#include <sys/types.h>

#include <functional>

namespace testing_support {

// Starts the child at once; it runs `body` and exits with its result (an exception counts as
// 99). wait() returns that status, or -1 when the child did not exit normally; a child not
// waited for is waited for when the object goes.
class ChildProcess {
  public:
    explicit ChildProcess(const std::function<int()>& body);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    int wait();

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

inline int RunInChildProcess(const std::function<int()>& body) {
    return ChildProcess(body).wait();
}

} // namespace testing_support
