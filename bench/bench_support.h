// What the timed programs share: the clock, the median of the rounds, the settings of a
// program that shows no window, and a fresh machine in a temporary folder.
#pragma once

#include "platform/root.h"

#include <QByteArray>
#include <QtGlobal>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

template <typename Work> double millisecondsOf(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Windows render offscreen and the shell's calls are only recorded: call before the
// application object exists.
inline void RunWithoutDisplay() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setenv("SURFKOLIBRI_SHELL_EXECUTE", "record", 1);
}

// A fresh platform root in a temporary folder, in use while this lives; closed and removed
// with everything in it when it goes.
class TemporaryMachine {
  public:
    explicit TemporaryMachine(const std::string& name)
        : folder_((std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string()) {
        ok_ = mkdtemp(folder_.data()) != nullptr;
        if (ok_) platform::useRoot(platform::HostPath(folder_));
    }
    ~TemporaryMachine() {
        if (!ok_) return;
        platform::closeRoot();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TemporaryMachine(const TemporaryMachine&) = delete;
    TemporaryMachine& operator=(const TemporaryMachine&) = delete;

    bool ok() const { return ok_; }

  private:
    std::string folder_;
    bool ok_ = false;
};

} // namespace bench
