// The reference count of the platform's COM objects. Internal to the platform layer.
#pragma once

#include "platform/win32_types.h"

#include <atomic>

namespace platform {

class RefCount {
  public:
    ULONG add() { return ++count_; }
    // The count left; the owner deletes itself at zero.
    ULONG release() { return --count_; }

  private:
    std::atomic<ULONG> count_{1};
};

} // namespace platform
