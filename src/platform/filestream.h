// Whole-file access over Windows paths for the code that reads or writes a file in one go.
#pragma once

#include "platform/win32.h"

#include <string>

// Reads the whole file; false (with the last error set) when it cannot be read.
bool ReadWholeFile(const std::string& windowsPath, std::string& contents);
// Creates or replaces the file; false (with the last error set) on failure. A read-only file
// is refused with ERROR_ACCESS_DENIED, as on Windows.
bool WriteWholeFile(const std::string& windowsPath, const std::string& contents);
bool FileExistsA(const std::string& windowsPath);
bool DirectoryExistsA(const std::string& windowsPath);
