// The whole registry as comparable lines, and small .reg text helpers for the tests.
#pragma once

#include "platform/registry.h"

#include <string>
#include <vector>

namespace skplatform_test {

// One line per key ("[path]") and per value ("path|name|type|hex"), keys in tree order,
// values in enumeration order.
inline void dumpKey(platform::registry::KeyId key, std::vector<std::string>& lines) {
    const std::string path = platform::registry::fullPath(key);
    lines.push_back("[" + path + "]");
    static const char digits[] = "0123456789abcdef";
    for (const auto& value : platform::registry::values(key)) {
        std::string hex;
        for (unsigned char c : value.data) {
            hex.push_back(digits[c >> 4]);
            hex.push_back(digits[c & 15]);
        }
        lines.push_back(path + "|" + value.name + "|" + std::to_string(value.type) + "|" + hex);
    }
    for (auto child : platform::registry::children(key))
        dumpKey(child, lines);
}

inline std::vector<std::string> dumpRegistry() {
    std::vector<std::string> lines;
    for (platform::registry::KeyId hive = 1; hive <= 3; ++hive)
        dumpKey(hive, lines);
    return lines;
}

// An ASCII text as the bytes of a UTF-16LE file with its byte order mark.
inline std::string utf16File(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

} // namespace skplatform_test
