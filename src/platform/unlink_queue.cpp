#include "platform/unlink_queue.h"

#include "platform/files_internal.h"
#include "platform/win32.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <system_error>

namespace platform {

UnlinkQueue::~UnlinkQueue() {
    handOver();
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void UnlinkQueue::add(SharedFd folder, std::string name, std::int64_t row) {
    gathered_.push_back({std::move(folder), std::move(name), row});
    ++outstanding_;
    if (gathered_.size() >= kHandOver) handOver();
}

namespace {

// Whether the file is gone: a file gone already is what the caller wanted. One that a handle
// holds without sharing deletion stays, as any deletion of it would. `anyHeld` is whether the
// kernel listed any file held so before the batch began: a cache's files seldom are, and then
// one look at the list spares each file an open and a lock query.
bool unlinked(const SharedFd& folder, const std::string& name, bool anyHeld) {
    if (!anyHeld) return ::unlinkat(folder->get(), name.c_str(), 0) == 0 || errno == ENOENT;
    const DWORD error = files::unlinkUnlessHeld(folder->get(), name);
    return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND;
}

} // namespace

void UnlinkQueue::handOver() {
    if (gathered_.empty()) return;
    if (!worker_.joinable()) {
        try {
            worker_ = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            // No second thread to be had: this one unlinks.
            std::lock_guard lock(mutex_);
            const bool anyHeld = files::anyFileDenyingDeletion();
            for (const Unlink& u : gathered_)
                done_.push_back({u.row, unlinked(u.folder, u.name, anyHeld)});
            gathered_.clear();
            return;
        }
    }
    bool wasIdle = false;
    {
        std::lock_guard lock(mutex_);
        wasIdle = waiting_.empty() && !busy_;
        if (waiting_.empty())
            waiting_.swap(gathered_);
        else
            std::move(gathered_.begin(), gathered_.end(), std::back_inserter(waiting_));
    }
    gathered_.clear();
    if (wasIdle) wake_.notify_one();
}

void UnlinkQueue::collect(Wait wait, std::vector<std::int64_t>& gone) {
    if (outstanding_ == 0) return;
    handOver();
    std::unique_lock lock(mutex_);
    if (wait == Wait::ForAll) finished_.wait(lock, [this] { return waiting_.empty() && !busy_; });
    for (const Done& d : done_)
        if (d.gone) gone.push_back(d.row);
    outstanding_ -= done_.size();
    done_.clear();
}

void UnlinkQueue::work() {
    std::vector<Unlink> taken;
    std::vector<Done> results;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) return; // stopped, and nothing left
        taken.swap(waiting_);
        busy_ = true;
        lock.unlock();
        results.clear();
        const bool anyHeld = files::anyFileDenyingDeletion();
        for (const Unlink& u : taken)
            results.push_back({u.row, unlinked(u.folder, u.name, anyHeld)});
        taken.clear(); // lets go of the folders outside the lock
        lock.lock();
        done_.insert(done_.end(), results.begin(), results.end());
        busy_ = false;
        if (waiting_.empty()) finished_.notify_all();
    }
}

} // namespace platform
