// Move-only owners of the handles the Win32 calls hand out, closed when the owner goes.
// Over the Win32 calls only, so they serve the program, the tool and the tests alike.
#pragma once

#include "platform/win32.h"

#include <utility>

// A registry key from RegOpenKeyExA or RegCreateKeyExA.
class UniqueHKey {
  public:
    UniqueHKey() = default;
    explicit UniqueHKey(HKEY key) : key_(key) {}
    ~UniqueHKey() { reset(); }
    UniqueHKey(UniqueHKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    UniqueHKey& operator=(UniqueHKey&& other) noexcept {
        if (this != &other) reset(std::exchange(other.key_, nullptr));
        return *this;
    }
    UniqueHKey(const UniqueHKey&) = delete;
    UniqueHKey& operator=(const UniqueHKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For the call that opens the key; a key held before is closed first.
    PHKEY out() {
        reset();
        return &key_;
    }
    void reset(HKEY key = nullptr) {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }

  private:
    HKEY key_ = nullptr;
};

// A file search from FindFirstFileA (INVALID_HANDLE_VALUE when it found nothing).
class UniqueFindHandle {
  public:
    UniqueFindHandle() = default;
    explicit UniqueFindHandle(HANDLE find) : find_(find) {}
    ~UniqueFindHandle() { reset(); }
    UniqueFindHandle(UniqueFindHandle&& other) noexcept
        : find_(std::exchange(other.find_, INVALID_HANDLE_VALUE)) {}
    UniqueFindHandle& operator=(UniqueFindHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.find_, INVALID_HANDLE_VALUE));
        return *this;
    }
    UniqueFindHandle(const UniqueFindHandle&) = delete;
    UniqueFindHandle& operator=(const UniqueFindHandle&) = delete;

    HANDLE get() const { return find_; }
    bool valid() const { return find_ != INVALID_HANDLE_VALUE && find_ != nullptr; }
    void reset(HANDLE find = INVALID_HANDLE_VALUE) {
        if (valid()) FindClose(find_);
        find_ = find;
    }

  private:
    HANDLE find_ = INVALID_HANDLE_VALUE;
};
