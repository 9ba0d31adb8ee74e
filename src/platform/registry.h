// The registry store behind the Reg* calls: keys and values in platform.db. Internal to the
// platform layer and its tool, which may bypass the administrator check.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::registry {

using KeyId = std::int64_t;
constexpr KeyId kNoKey = 0;
// The hives are the first keys of the store.
constexpr KeyId kClassesRoot = 1;
constexpr KeyId kCurrentUser = 2;
constexpr KeyId kLocalMachine = 3;
constexpr KeyId kLastHive = kLocalMachine;

// The hive of a predefined root handle, or kNoKey.
KeyId hiveOf(HKEY predefined);
// "HKEY_CURRENT_USER" (or "HKCU") and so on; kNoKey when the name is unknown.
KeyId hiveByName(const std::string& name);
std::string hiveName(KeyId hive);

// Follows a backslash-separated path below a key; kNoKey when a component is missing.
KeyId find(KeyId from, const std::string& path);
// Creates every missing key on the way; returns the last one.
KeyId create(KeyId from, const std::string& path, bool* created = nullptr);
bool exists(KeyId key);
KeyId parentOf(KeyId key);
KeyId hiveOfKey(KeyId key);
// Whether the platform's user may change the key: HKEY_LOCAL_MACHINE only for an
// administrator.
bool userMayWrite(KeyId key);
std::string nameOf(KeyId key);
// "HKEY_CURRENT_USER\Software\..."
std::string fullPath(KeyId key);
std::vector<KeyId> children(KeyId key);
// Removes the key with everything below it (the hives themselves are kept, emptied).
void removeTree(KeyId key);

struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};
std::vector<Value> values(KeyId key);
bool getValue(KeyId key, const std::string& name, Value& value);
void setValue(KeyId key, const std::string& name, DWORD type, const std::string& data);
bool removeValue(KeyId key, const std::string& name);

} // namespace platform::registry
