// The Reg* calls over the registry store: handles, access rights and the size protocol.
#include "platform/filetime.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <algorithm>
#include <cstring>
#include <map>

using namespace platform;
using namespace platform::registry;

namespace {

constexpr REGSAM kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK |
                                0x00010000 /* DELETE */ | 0x00040000 /* WRITE_DAC */ |
                                0x00080000 /* WRITE_OWNER */;

// Where a handle's last value enumeration stopped, so that asking for the next index reads
// on from there instead of counting the key's values from the start; valid only while the
// database is unchanged.
struct EnumPosition {
    DWORD index = 0;
    std::int64_t rowId = -1;
    ChangeStamp stamp;
};

struct OpenKey {
    KeyId key;
    REGSAM access;
    EnumPosition values;
};

std::map<std::uintptr_t, OpenKey>& openKeys() {
    static std::map<std::uintptr_t, OpenKey> keys;
    return keys;
}
std::uintptr_t g_nextHandle = 0x1000;

// Resolves a handle to its key and the access it was opened with. Predefined roots carry
// full access, except that HKLM is read-only for a user without administrator rights.
LSTATUS lookup(HKEY handle, KeyId& key, REGSAM& access) {
    if (KeyId hive = hiveOf(handle); hive != kNoKey) {
        key = hive;
        access = userMayWrite(hive) ? KEY_ALL_ACCESS : KEY_READ;
        return ERROR_SUCCESS;
    }
    auto it = openKeys().find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == openKeys().end()) return ERROR_INVALID_HANDLE;
    if (!registry::exists(it->second.key)) return ERROR_KEY_DELETED;
    key = it->second.key;
    access = it->second.access;
    return ERROR_SUCCESS;
}

// A handle's key, provided the handle was opened with the access the call needs.
LSTATUS lookupFor(HKEY handle, REGSAM needed, KeyId& key) {
    REGSAM access = 0;
    if (LSTATUS rc = lookup(handle, key, access); rc != ERROR_SUCCESS) return rc;
    return (access & needed) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

HKEY newHandle(KeyId key, REGSAM access) {
    const std::uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    openKeys()[value] = {key, access, {}};
    return reinterpret_cast<HKEY>(value);
}

bool writeRefused(KeyId key, REGSAM desired) {
    return (desired & kWriteAccess) && !userMayWrite(key);
}

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Copies value data with the size protocol of the query calls.
LSTATUS copyData(const std::string& data, DWORD type, LPBYTE out, LPDWORD size) {
    if (!size) return out ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    const DWORD needed = static_cast<DWORD>(data.size());
    if (!out) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(out, data.data(), data.size());
    // A string stored without its terminator gets one when the buffer has room for it.
    if (isStringType(type) && (data.empty() || data.back() != '\0') && *size > needed)
        out[needed] = 0;
    *size = needed;
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
    return guardedStatus([&]() -> LSTATUS {
        if (!result) return ERROR_INVALID_PARAMETER;
        *result = nullptr;
        KeyId parent = kNoKey;
        REGSAM access = 0;
        if (LSTATUS rc = lookup(key, parent, access); rc != ERROR_SUCCESS) return rc;
        const KeyId found = registry::find(parent, subKey ? subKey : "");
        if (found == kNoKey) return ERROR_FILE_NOT_FOUND;
        if (writeRefused(found, desired)) return ERROR_ACCESS_DENIED;
        *result = newHandle(found, desired);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired,
                        LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return guardedStatus([&]() -> LSTATUS {
        if (!result) return ERROR_INVALID_PARAMETER;
        *result = nullptr;
        // Looked up inside the transaction, so the key cannot vanish before the write.
        Transaction tx;
        KeyId parent = kNoKey;
        REGSAM access = 0;
        if (LSTATUS rc = lookup(key, parent, access); rc != ERROR_SUCCESS) return rc;
        const std::string path = subKey ? subKey : "";
        if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
        KeyId found = registry::find(parent, path);
        if (found == kNoKey && !userMayWrite(parent)) return ERROR_ACCESS_DENIED;
        if (found != kNoKey && writeRefused(found, desired)) return ERROR_ACCESS_DENIED;
        bool created = false;
        if (found == kNoKey) found = registry::create(parent, path, &created);
        tx.commit();
        if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        *result = newHandle(found, desired);
        return ERROR_SUCCESS;
    });
}

LSTATUS RegCloseKey(HKEY key) {
    return guardedStatus([&]() -> LSTATUS {
        if (hiveOf(key) != kNoKey) return ERROR_SUCCESS;
        return openKeys().erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS
                                                                       : ERROR_INVALID_HANDLE;
    });
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
    return guardedStatus([&]() -> LSTATUS {
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_QUERY_VALUE, id); rc != ERROR_SUCCESS) return rc;
        if (data && !dataSize) return ERROR_INVALID_PARAMETER;
        registry::Value value;
        if (!registry::getValue(id, valueName ? valueName : "", value)) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value.type;
        return copyData(value.data, value.type, data, dataSize);
    });
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataSize) {
    return guardedStatus([&]() -> LSTATUS {
        Transaction tx;
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_SET_VALUE, id); rc != ERROR_SUCCESS) return rc;
        if (!data && dataSize) return ERROR_NOACCESS;
        registry::setValue(id, valueName ? valueName : "", type,
                           std::string(reinterpret_cast<const char*>(data), data ? dataSize : 0));
        tx.commit();
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    return guardedStatus([&]() -> LSTATUS {
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_QUERY_VALUE, id); rc != ERROR_SUCCESS) return rc;
        if (!valueName || !valueNameSize) return ERROR_INVALID_PARAMETER;
        EnumPosition* position = nullptr;
        if (auto it = openKeys().find(reinterpret_cast<std::uintptr_t>(key));
            it != openKeys().end())
            position = &it->second.values;
        const ChangeStamp stamp = changeStamp();
        const bool readOn = position && position->rowId >= 0 && index == position->index + 1 &&
                            position->stamp == stamp;
        Statement next("SELECT name, type, data, id FROM reg_values WHERE key_id = ? AND id > ? "
                       "ORDER BY id LIMIT 1");
        Statement counted("SELECT name, type, data, id FROM reg_values WHERE key_id = ? "
                          "ORDER BY id LIMIT 1 OFFSET ?");
        Statement& st = readOn ? next : counted;
        st.bind(1, id).bind(2, readOn ? position->rowId : static_cast<std::int64_t>(index));
        if (!st.step()) return ERROR_NO_MORE_ITEMS;
        const std::string name = st.text(0);
        const DWORD valueType = static_cast<DWORD>(st.int64(1));
        const std::string bytes = st.blob(2);
        if (position) *position = {index, st.int64(3), stamp};
        if (*valueNameSize <= name.size()) {
            // As on Windows: the name stays untouched, the type and data size are reported.
            if (type) *type = valueType;
            if (dataSize) *dataSize = static_cast<DWORD>(bytes.size());
            return ERROR_MORE_DATA;
        }
        std::memcpy(valueName, name.c_str(), name.size() + 1);
        *valueNameSize = static_cast<DWORD>(name.size());
        if (type) *type = valueType;
        return copyData(bytes, valueType, data, dataSize);
    });
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR, LPDWORD,
                      PFILETIME lastWriteTime) {
    return guardedStatus([&]() -> LSTATUS {
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_ENUMERATE_SUB_KEYS, id); rc != ERROR_SUCCESS) return rc;
        if (!name || !nameSize) return ERROR_INVALID_PARAMETER;
        Statement st("SELECT name, written FROM reg_keys WHERE parent = ? ORDER BY name_key "
                     "LIMIT 1 OFFSET ?");
        st.bind(1, id).bind(2, static_cast<std::int64_t>(index));
        if (!st.step()) return ERROR_NO_MORE_ITEMS;
        const std::string childName = st.text(0);
        if (*nameSize <= childName.size()) return ERROR_MORE_DATA;
        std::memcpy(name, childName.c_str(), childName.size() + 1);
        *nameSize = static_cast<DWORD>(childName.size());
        if (lastWriteTime) {
            const auto ticks = static_cast<std::uint64_t>(st.int64(1));
            *lastWriteTime = fileTimeOf(ticks);
        }
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName) {
    return guardedStatus([&]() -> LSTATUS {
        Transaction tx;
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_SET_VALUE, id); rc != ERROR_SUCCESS) return rc;
        const bool removed = registry::removeValue(id, valueName ? valueName : "");
        tx.commit();
        return removed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    return guardedStatus([&]() -> LSTATUS {
        Transaction tx;
        KeyId parent = kNoKey;
        REGSAM access = 0;
        if (LSTATUS rc = lookup(key, parent, access); rc != ERROR_SUCCESS) return rc;
        if (!subKey || !*subKey) return ERROR_INVALID_PARAMETER;
        const KeyId target = registry::find(parent, subKey);
        if (target == kNoKey) return ERROR_FILE_NOT_FOUND;
        if (!userMayWrite(target)) return ERROR_ACCESS_DENIED;
        // As on Windows, a key with subkeys is not deleted by this call.
        if (!registry::children(target).empty()) return ERROR_ACCESS_DENIED;
        registry::removeTree(target);
        tx.commit();
        return ERROR_SUCCESS;
    });
}

LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classNameSize, LPDWORD, LPDWORD subKeys,
                         LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD valueCount,
                         LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                         LPDWORD securityDescriptorSize, PFILETIME lastWriteTime) {
    return guardedStatus([&]() -> LSTATUS {
        KeyId id = kNoKey;
        if (LSTATUS rc = lookupFor(key, KEY_QUERY_VALUE, id); rc != ERROR_SUCCESS) return rc;
        if (className && classNameSize && *classNameSize > 0) className[0] = '\0';
        if (classNameSize) *classNameSize = 0;
        if (maxClassLength) *maxClassLength = 0;
        if (securityDescriptorSize) *securityDescriptorSize = 0;
        DWORD count = 0;
        DWORD longest = 0;
        for (KeyId c : registry::children(id)) {
            ++count;
            longest = std::max<DWORD>(longest, static_cast<DWORD>(registry::nameOf(c).size()));
        }
        if (subKeys) *subKeys = count;
        if (maxSubKeyLength) *maxSubKeyLength = longest;
        DWORD values = 0;
        DWORD longestName = 0;
        DWORD longestData = 0;
        for (const auto& v : registry::values(id)) {
            ++values;
            longestName = std::max<DWORD>(longestName, static_cast<DWORD>(v.name.size()));
            longestData = std::max<DWORD>(longestData, static_cast<DWORD>(v.data.size()));
        }
        if (valueCount) *valueCount = values;
        if (maxValueNameLength) *maxValueNameLength = longestName;
        if (maxValueLength) *maxValueLength = longestData;
        if (lastWriteTime) {
            Statement st("SELECT written FROM reg_keys WHERE id = ?");
            st.bind(1, id);
            const auto ticks = st.step() ? static_cast<std::uint64_t>(st.int64(0)) : 0;
            *lastWriteTime = fileTimeOf(ticks);
        }
        return ERROR_SUCCESS;
    });
}
