// The registry editor's .reg files, read and written by the machine's own editor: the
// platform's import and export (as its tool uses them) on the hosted platform, regedit on
// Windows.
#pragma once

#include <string>

namespace testing_support {

// Imports a whole file, given as its bytes; false when the editor could not be run.
bool importRegFile(const std::string& fileBytes);
// The key with its values and everything below it as the bytes of a "Windows Registry Editor
// Version 5.00" file; `keyPath` begins with the root key's full name. Empty on failure.
std::string exportRegKey(const std::string& keyPath);

} // namespace testing_support
