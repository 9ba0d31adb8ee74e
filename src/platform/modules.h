// The exports that GetProcAddress finds in the hosted modules.
#pragma once

#include "platform/win32_types.h"

#include <vector>

namespace platform {

struct ExportEntry {
    const char* name;
    FARPROC address;
};

// The functions of "wininet.dll" that can be looked up by name.
const std::vector<ExportEntry>& wininetExports();

} // namespace platform
