// Owners for what the shell hands the favorites: COM objects, released when the owner goes,
// and item identifier lists, given back to the shell allocator.
#pragma once

#include "platform/win32.h"

#include <utility>

template <typename T> class ComRef {
  public:
    ComRef() = default;
    // Takes over a reference the caller holds.
    explicit ComRef(T* object) : p_(object) {}
    ~ComRef() { reset(); }
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the call that hands out an object; one held before is released first.
    T** put() {
        reset();
        return &p_;
    }
    void** out() { return reinterpret_cast<void**>(put()); }
    // Shares an object someone else holds (takes a reference of its own).
    void assign(T* object) {
        if (object) object->AddRef();
        reset(object);
    }
    void reset(T* object = nullptr) {
        if (p_) p_->Release();
        p_ = object;
    }

  private:
    T* p_ = nullptr;
};

// An item identifier list from the shell allocator. Given back with ILFree, which cannot fail,
// so that an owner going out of scope never raises.
class PidlRef {
  public:
    PidlRef() = default;
    explicit PidlRef(LPITEMIDLIST list) : p_(list) {}
    ~PidlRef() { reset(); }
    PidlRef(PidlRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    PidlRef& operator=(PidlRef&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    PidlRef(const PidlRef&) = delete;
    PidlRef& operator=(const PidlRef&) = delete;

    LPITEMIDLIST get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    LPITEMIDLIST* put() {
        reset();
        return &p_;
    }
    LPITEMIDLIST release() { return std::exchange(p_, nullptr); }
    void reset(LPITEMIDLIST list = nullptr) {
        if (p_) ILFree(p_);
        p_ = list;
    }

  private:
    LPITEMIDLIST p_ = nullptr;
};
