// The registry lists of the surf traces (typed addresses, the Run list): one key below
// HKEY_CURRENT_USER whose values are read and deleted by name.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

class UserRegistryKey {
  public:
    // Opens the key (a path below HKEY_CURRENT_USER, a leading backslash allowed) with full
    // access, creating it when missing, as every listing and clearing of these lists does.
    explicit UserRegistryKey(const std::string& path);

    bool IsOpen() const { return static_cast<bool>(key_); }

    // The names of the key's values in registry order; a failure ends the list there.
    std::vector<std::string> ValueNames() const;

    enum class ReadResult { Text, NotText, Failed };
    // The value's data when it is a string (REG_SZ, or REG_EXPAND_SZ left unexpanded), up to
    // its first NUL; NotText for any other type, Failed when the value cannot be read.
    ReadResult ReadString(const std::string& name, std::string& text) const;

    // Deletes a value by name; false when it could not be deleted.
    bool DeleteValue(const std::string& name) const;
    // The same, with the registry's status (ERROR_SUCCESS when the value went).
    LONG DeleteValueStatus(const std::string& name) const;
    // Deletes the values by name, in order; one that cannot be deleted is passed over and
    // the others still go. The number deleted.
    int DeleteValues(const std::vector<std::string>& names) const;

  private:
    UniqueHKey key_;
};
