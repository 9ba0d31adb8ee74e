// The factories behind CoCreateInstance for the shell's link objects. Internal to the
// platform layer.
#pragma once

#include "platform/com.h"

namespace platform {
HRESULT createShellLink(REFIID riid, void** object);
HRESULT createInternetShortcut(REFIID riid, void** object);
} // namespace platform
