// The registry store: keys and values as rows of platform.db.
#include "platform/registry.h"

#include "platform/ansi.h"
#include "platform/filetime.h"
#include "platform/root.h"
#include "platform/win32.h"

namespace platform::registry {

KeyId hiveOf(HKEY predefined) {
    if (predefined == HKEY_CLASSES_ROOT) return kClassesRoot;
    if (predefined == HKEY_CURRENT_USER) return kCurrentUser;
    if (predefined == HKEY_LOCAL_MACHINE) return kLocalMachine;
    return kNoKey;
}

KeyId hiveByName(const std::string& name) {
    const std::string n = AnsiUpperCase(name);
    if (n == "HKEY_CLASSES_ROOT" || n == "HKCR") return kClassesRoot;
    if (n == "HKEY_CURRENT_USER" || n == "HKCU") return kCurrentUser;
    if (n == "HKEY_LOCAL_MACHINE" || n == "HKLM") return kLocalMachine;
    return kNoKey;
}

std::string hiveName(KeyId hive) {
    switch (hive) {
    case kClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case kCurrentUser:
        return "HKEY_CURRENT_USER";
    case kLocalMachine:
        return "HKEY_LOCAL_MACHINE";
    default:
        return {};
    }
}

bool userMayWrite(KeyId key) {
    return hiveOfKey(key) != kLocalMachine || isAdministrator();
}

namespace {

std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

KeyId child(KeyId parent, const std::string& name) {
    Statement st("SELECT id FROM reg_keys WHERE parent = ? AND name_key = ?");
    st.bind(1, parent).bind(2, AnsiUpperCase(name));
    return st.step() ? st.int64(0) : kNoKey;
}

std::int64_t nowTicks() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return static_cast<std::int64_t>(ticksOf(ft));
}

void touch(KeyId key) {
    Statement st("UPDATE reg_keys SET written = ? WHERE id = ?");
    st.bind(1, nowTicks()).bind(2, key);
    st.step();
}

} // namespace

KeyId find(KeyId from, const std::string& path) {
    KeyId key = from;
    for (const auto& part : components(path)) {
        key = child(key, part);
        if (key == kNoKey) return kNoKey;
    }
    return key;
}

KeyId create(KeyId from, const std::string& path, bool* created) {
    if (created) *created = false;
    KeyId key = from;
    for (const auto& part : components(path)) {
        KeyId next = child(key, part);
        if (next == kNoKey) {
            Statement st("INSERT INTO reg_keys (parent, name, name_key, written) "
                         "VALUES (?, ?, ?, ?)");
            st.bind(1, key).bind(2, part).bind(3, AnsiUpperCase(part)).bind(4, nowTicks());
            st.step();
            next = lastInsertId();
            if (created) *created = true;
        }
        key = next;
    }
    return key;
}

bool exists(KeyId key) {
    Statement st("SELECT 1 FROM reg_keys WHERE id = ?");
    st.bind(1, key);
    return st.step();
}

KeyId parentOf(KeyId key) {
    Statement st("SELECT parent FROM reg_keys WHERE id = ?");
    st.bind(1, key);
    return st.step() ? st.int64(0) : kNoKey;
}

KeyId hiveOfKey(KeyId key) {
    while (key > kLastHive) {
        key = parentOf(key);
    }
    return key;
}

std::string nameOf(KeyId key) {
    Statement st("SELECT name FROM reg_keys WHERE id = ?");
    st.bind(1, key);
    return st.step() ? st.text(0) : std::string();
}

std::string fullPath(KeyId key) {
    std::string path;
    while (key != kNoKey) {
        const std::string name = nameOf(key);
        path = path.empty() ? name : name + "\\" + path;
        key = parentOf(key);
    }
    return path;
}

std::vector<KeyId> children(KeyId key) {
    std::vector<KeyId> ids;
    Statement st("SELECT id FROM reg_keys WHERE parent = ? ORDER BY name_key");
    st.bind(1, key);
    while (st.step())
        ids.push_back(st.int64(0));
    return ids;
}

void removeTree(KeyId key) {
    for (KeyId c : children(key))
        removeTree(c);
    {
        Statement st("DELETE FROM reg_values WHERE key_id = ?");
        st.bind(1, key);
        st.step();
    }
    if (key > kLastHive) {
        Statement st("DELETE FROM reg_keys WHERE id = ?");
        st.bind(1, key);
        st.step();
    }
}

std::vector<Value> values(KeyId key) {
    std::vector<Value> result;
    Statement st("SELECT name, type, data FROM reg_values WHERE key_id = ? ORDER BY id");
    st.bind(1, key);
    while (st.step())
        result.push_back({st.text(0), static_cast<DWORD>(st.int64(1)), st.blob(2)});
    return result;
}

bool getValue(KeyId key, const std::string& name, Value& value) {
    Statement st("SELECT name, type, data FROM reg_values WHERE key_id = ? AND name_key = ?");
    st.bind(1, key).bind(2, AnsiUpperCase(name));
    if (!st.step()) return false;
    value = {st.text(0), static_cast<DWORD>(st.int64(1)), st.blob(2)};
    return true;
}

void setValue(KeyId key, const std::string& name, DWORD type, const std::string& data) {
    // An existing value keeps its place in the enumeration order.
    Statement st("INSERT INTO reg_values (key_id, name, name_key, type, data) "
                 "VALUES (?, ?, ?, ?, ?) ON CONFLICT (key_id, name_key) "
                 "DO UPDATE SET type = excluded.type, data = excluded.data");
    st.bind(1, key).bind(2, name).bind(3, AnsiUpperCase(name)).bind(4, type);
    st.bindBlob(5, data.data(), data.size());
    st.step();
    touch(key);
}

bool removeValue(KeyId key, const std::string& name) {
    Statement st("DELETE FROM reg_values WHERE key_id = ? AND name_key = ?");
    st.bind(1, key).bind(2, AnsiUpperCase(name));
    st.step();
    const bool removed = changes() > 0;
    if (removed) touch(key);
    return removed;
}

} // namespace platform::registry
