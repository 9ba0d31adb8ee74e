// The task allocator's bookkeeping: every block handed out is known until it is given back,
// so tests can prove that the shell's lists and texts all come home.
#pragma once

#include "platform/win32_types.h"

#include <cstddef>
#include <string>

namespace platform {

// Blocks from CoTaskMemAlloc / the shell allocator that are still allocated.
std::size_t liveTaskAllocations();
// Frees of pointers the allocator never handed out (or handed out and took back already);
// they are ignored instead of corrupting the heap.
std::size_t strayTaskFrees();

// An ANSI text as a wide string from the task allocator (the caller frees it with
// CoTaskMemFree), or null when the allocator has no room.
LPWSTR taskAllocatedWide(const std::string& ansi);

} // namespace platform
