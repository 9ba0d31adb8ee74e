// What a fallible step inside the platform gives back: its value, or the Win32 error code that
// says why there is none. Marked [[nodiscard]], so a failure cannot pass unnoticed; the call
// of the Win32 surface that uses the step turns the error into its last error.
#pragma once

#include "platform/win32_types.h"

#include <optional>
#include <utility>

namespace platform {

// The error of a failed step, never ERROR_SUCCESS: `return Failure{ERROR_PATH_NOT_FOUND};`.
struct Failure {
    DWORD code;
};

template <typename T> class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure)
        : error_(failure.code == ERROR_SUCCESS ? ERROR_GEN_FAILURE : failure.code) {}

    bool ok() const noexcept { return value_.has_value(); }
    explicit operator bool() const noexcept { return ok(); }
    // ERROR_SUCCESS for a value.
    DWORD error() const noexcept { return error_; }

    // The value; only of a result that holds one.
    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

  private:
    std::optional<T> value_;
    DWORD error_ = ERROR_SUCCESS;
};

} // namespace platform
