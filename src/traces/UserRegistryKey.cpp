#include "traces/UserRegistryKey.h"

#include <algorithm>

namespace {
// The longest value name the registry allows, plus its terminator.
constexpr DWORD kNameBuffer = 16384;
} // namespace

UserRegistryKey::UserRegistryKey(const std::string& path) {
    const auto start = path.find_first_not_of('\\');
    const std::string relative = start == std::string::npos ? std::string() : path.substr(start);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key_.out(), nullptr) != ERROR_SUCCESS)
        key_.reset();
}

std::vector<std::string> UserRegistryKey::ValueNames() const {
    std::vector<std::string> names;
    if (!key_) return names;
    std::string buffer(kNameBuffer, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBuffer;
        if (RegEnumValueA(key_.get(), index, buffer.data(), &size, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.data(), size);
    }
    return names;
}

UserRegistryKey::ReadResult UserRegistryKey::ReadString(const std::string& name,
                                                        std::string& text) const {
    if (!key_) return ReadResult::Failed;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return ReadResult::Failed;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ReadResult::NotText;
    // Room for a terminator the stored data may lack.
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD filled = size;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &filled) != ERROR_SUCCESS)
        return ReadResult::Failed;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ReadResult::NotText;
    buffer.resize(std::min<std::size_t>(filled, buffer.size()));
    text = buffer.substr(0, buffer.find('\0'));
    return ReadResult::Text;
}

bool UserRegistryKey::DeleteValue(const std::string& name) const {
    return DeleteValueStatus(name) == ERROR_SUCCESS;
}

LONG UserRegistryKey::DeleteValueStatus(const std::string& name) const {
    return key_ ? RegDeleteValueA(key_.get(), name.c_str())
                : static_cast<LONG>(ERROR_INVALID_HANDLE);
}

int UserRegistryKey::DeleteValues(const std::vector<std::string>& names) const {
    int deleted = 0;
    for (const std::string& name : names)
        deleted += DeleteValue(name) ? 1 : 0;
    return deleted;
}
