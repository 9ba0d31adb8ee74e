// The registry editor's .reg text files: "REGEDIT4" (8-bit, ANSI) and "Windows Registry
// Editor Version 5.00" (UTF-16LE with a byte order mark). Internal to the platform layer and
// its tool; works on the registry store directly, without the administrator check.
#pragma once

#include "platform/registry.h"

#include <string>
#include <vector>

namespace platform::regfile {

enum class Format { Regedit4, Unicode5 };

// One step of an import, in file order.
struct Operation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    registry::KeyId hive = registry::kNoKey;
    std::string path; // below the hive, backslash-separated; empty for the hive itself
    std::string name; // value name, empty for the default value
    DWORD type = REG_NONE;
    std::string data; // as stored: REG_SZ with its terminating NUL
    int line = 0;
};

struct Error {
    int line = 0; // 1-based line of the file; 0 when the file as a whole is at fault
    std::string message;
};

// Reads a whole .reg file (either format) into operations without touching the registry.
// False, with the first fault in `error`, when any line is malformed.
bool parse(const std::string& fileBytes, std::vector<Operation>& operations, Error& error);

// Carries out parsed operations in one transaction: all of them or, on failure, none.
void apply(const std::vector<Operation>& operations);

// parse() then apply(); the registry is untouched when the file is malformed.
bool importFile(const std::string& fileBytes, Error& error);

// The key with its values and everything below it, as the bytes of a .reg file.
std::string exportKey(registry::KeyId key, Format format);

// Several keys in one file (a whole registry: pass the three hives).
std::string exportKeys(const std::vector<registry::KeyId>& keys, Format format);

} // namespace platform::regfile
