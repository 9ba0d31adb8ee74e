// A second thread that unlinks files for the URL cache while a walk deletes entry after
// entry: the walk goes on reading and deleting rows on this thread while the kernel removes
// the files on the other. Each file is named by its folder, opened, and its name there.
#pragma once

#include "platform/hostfs.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class UnlinkQueue {
  public:
    UnlinkQueue() = default;
    // Waits for every queued unlink.
    ~UnlinkQueue();
    UnlinkQueue(const UnlinkQueue&) = delete;
    UnlinkQueue& operator=(const UnlinkQueue&) = delete;

    // Unlinks `name` in `folder` on the second thread (started on first use; where none can
    // be started, on this one); `row` comes back from collect() once it is done.
    void add(SharedFd folder, std::string name, std::int64_t row);

    enum class Wait { ForNone, ForAll };
    // The rows whose files are gone (or were gone already) go to `gone`; those whose files
    // could not be unlinked are dropped, so that they stay. ForAll waits until nothing is
    // queued.
    void collect(Wait wait, std::vector<std::int64_t>& gone);

    // Unlinks added and not collected yet.
    std::size_t outstanding() const { return outstanding_; }

  private:
    struct Unlink {
        SharedFd folder;
        std::string name;
        std::int64_t row;
    };
    struct Done {
        std::int64_t row;
        bool gone;
    };
    void work();
    // Gives the worker what the owner has gathered.
    void handOver();

    // The owner gathers unlinks and hands them over this many at a time: one wake-up of the
    // worker serves many files.
    static constexpr std::size_t kHandOver = 64;
    // Read and written by the owning thread only.
    std::size_t outstanding_ = 0;
    std::vector<Unlink> gathered_;
    std::mutex mutex_;
    std::condition_variable wake_;     // the worker: work came, or the end
    std::condition_variable finished_; // the owner: the queue ran empty
    std::vector<Unlink> waiting_;
    std::vector<Done> done_;
    bool busy_ = false; // the worker holds unlinks taken from waiting_
    bool stop_ = false;
    std::thread worker_;
};

} // namespace platform
