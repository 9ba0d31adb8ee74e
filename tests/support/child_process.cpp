#include "support/child_process.h"

#include "platform/root.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ChildProcess::ChildProcess(const std::function<int()>& body) {
    const platform::HostPath root = platform::rootPath();
    pid_ = ::fork();
    if (pid_ != 0) return;
    int status = 99;
    try {
        platform::abandonConnectionAfterFork();
        platform::useRoot(root);
        status = body();
    } catch (...) {
    }
    ::_exit(status);
}

ChildProcess::~ChildProcess() {
    wait();
}

int ChildProcess::wait() {
    if (pid_ <= 0) return status_;
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) status_ = WEXITSTATUS(status);
    pid_ = -1;
    return status_;
}

} // namespace testing_support
