// The INI reader behind GetPrivateProfileStringA, over a file's bytes already read. Internal
// to the platform layer.
#pragma once

#include "platform/win32_types.h"

#include <string>

namespace platform::ini {

// What GetPrivateProfileStringA answers for a file holding these bytes (UTF-8 with its
// byte-order mark, UTF-16LE with its own, or ANSI): the value, the default, or a list, cut to
// the buffer the same way. The buffer must hold at least one character.
DWORD profileString(const std::string& fileBytes, LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                    LPSTR buffer, DWORD size);

} // namespace platform::ini
