#include "platform/regfile.h"

#include "platform/ansi.h"
#include "platform/root.h"

#include <cstdio>

namespace platform::regfile {
namespace {

const char* const kHeader4 = "REGEDIT4";
const char* const kHeader5 = "Windows Registry Editor Version 5.00";

struct Line {
    int number;
    std::string text;
};

bool fail(Error& error, int line, std::string message) {
    error.line = line;
    error.message = std::move(message);
    return false;
}

std::string trimLeft(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::string trim(const std::string& s) {
    return trimRight(trimLeft(s));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::string utf16Bytes(const std::u16string& wide) {
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t c : wide) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::u16string fromUtf16Bytes(const std::string& bytes) {
    std::u16string wide;
    wide.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return wide;
}

// The file's text in the ANSI code page, split into lines (CRLF or LF).
bool decodeLines(const std::string& bytes, std::vector<Line>& lines, Error& error) {
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0)
            return fail(error, 0, "the UTF-16 text ends in the middle of a character");
        const std::u16string wide = fromUtf16Bytes(bytes.substr(2));
        if (wide.find(u'\0') != std::u16string::npos)
            return fail(error, 0, "the file holds a NUL character");
        text = WideToAnsi(wide);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        return fail(error, 0, "big-endian UTF-16 is not a registry file encoding");
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = platform::utf8ToAnsi(bytes.substr(3));
    } else {
        text = bytes;
    }
    std::size_t start = 0;
    int number = 1;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') != std::string::npos)
            return fail(error, number, "the line holds a NUL character");
        lines.push_back({number, std::move(line)});
        start = end + 1;
        ++number;
    }
    return true;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
bool readQuoted(const std::string& text, std::size_t& pos, std::string& out, int line,
                Error& error) {
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++pos == text.size()) break;
        switch (text[pos]) {
        case '\\':
            out.push_back('\\');
            break;
        case '"':
            out.push_back('"');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 'r':
            out.push_back('\r');
            break;
        default:
            return fail(error, line, std::string("unknown escape sequence '\\") + text[pos] + "'");
        }
    }
    return fail(error, line, "the quoted text has no closing quote");
}

bool parseKeyPath(const std::string& path, Operation& op, Error& error) {
    const std::size_t slash = path.find('\\');
    const std::string hiveName = path.substr(0, slash);
    op.hive = registry::hiveByName(hiveName);
    if (op.hive == registry::kNoKey)
        return fail(error, op.line, "unknown root key '" + hiveName + "'");
    // The registry editor takes the root keys by their full names only.
    if (!AnsiSameText(hiveName, registry::hiveName(op.hive)))
        return fail(error, op.line,
                    "the root key '" + hiveName + "' must be spelt out as " +
                        registry::hiveName(op.hive));
    op.path = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    while (!op.path.empty() && op.path.back() == '\\')
        op.path.pop_back();
    if (op.path.find("\\\\") != std::string::npos || (!op.path.empty() && op.path[0] == '\\'))
        return fail(error, op.line, "the key path '" + path + "' has an empty component");
    return true;
}

bool parseHexBytes(const std::string& text, std::string& bytes, int line, Error& error) {
    bytes.clear();
    std::size_t pos = 0;
    bool expectByte = true;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == ' ' || c == '\t') {
            ++pos;
        } else if (c == ',') {
            if (expectByte) return fail(error, line, "two commas in a row in the hex data");
            expectByte = true;
            ++pos;
        } else {
            if (!expectByte) return fail(error, line, "hex bytes must be separated by commas");
            std::size_t end = pos;
            while (end < text.size() && hexDigit(text[end]) >= 0)
                ++end;
            if (end == pos) return fail(error, line, std::string("'") + c + "' is not a hex digit");
            if (end - pos > 2)
                return fail(error, line,
                            "'" + text.substr(pos, end - pos) + "' is more than one byte");
            int value = 0;
            for (std::size_t i = pos; i < end; ++i)
                value = value * 16 + hexDigit(text[i]);
            bytes.push_back(static_cast<char>(value));
            expectByte = false;
            pos = end;
        }
    }
    return true;
}

// Parses the data after "=" (continuations already joined) into the operation.
bool parseData(const std::string& data, bool unicode, Operation& op, Error& error) {
    if (data == "-") {
        op.kind = Operation::Kind::DeleteValue;
        return true;
    }
    op.kind = Operation::Kind::SetValue;
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!readQuoted(data, pos, text, op.line, error)) return false;
        if (!trim(data.substr(pos)).empty())
            return fail(error, op.line, "unexpected text after the closing quote");
        op.type = REG_SZ;
        op.data = text + std::string(1, '\0');
        return true;
    }
    const std::string lower = AnsiLowerCase(data.substr(0, 6));
    if (lower == "dword:") {
        const std::string digits = trim(data.substr(6));
        if (digits.empty() || digits.size() > 8)
            return fail(error, op.line, "a dword needs one to eight hex digits");
        std::uint32_t value = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0) return fail(error, op.line, "'" + digits + "' is not a hex dword");
            value = value * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        op.type = REG_DWORD;
        op.data.clear();
        for (int i = 0; i < 4; ++i)
            op.data.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        return true;
    }
    if (AnsiLowerCase(data.substr(0, 3)) != "hex")
        return fail(error, op.line, "unknown kind of value data '" + data.substr(0, 20) + "'");
    std::size_t pos = 3;
    op.type = REG_BINARY;
    if (pos < data.size() && data[pos] == '(') {
        const std::size_t close = data.find(')', pos);
        const std::string digits =
            close == std::string::npos ? std::string() : data.substr(pos + 1, close - pos - 1);
        if (digits.empty() || digits.size() > 8)
            return fail(error, op.line, "hex(...) needs a value type in hex");
        std::uint32_t type = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0)
                return fail(error, op.line, "'" + digits + "' is not a value type");
            type = type * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        op.type = type;
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != ':')
        return fail(error, op.line, "hex data needs a ':' before the bytes");
    if (!parseHexBytes(data.substr(pos + 1), op.data, op.line, error)) return false;
    if (unicode && (isStringType(op.type))) {
        if (op.data.size() % 2 != 0)
            return fail(error, op.line, "a Unicode string value needs an even number of bytes");
        op.data = WideToAnsi(fromUtf16Bytes(op.data));
    }
    return true;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

// A REG_SZ that reads back the same from "quoted text": one terminating NUL, nothing that
// would break the line.
bool fitsQuotedForm(const std::string& data) {
    return !data.empty() && data.back() == '\0' &&
           data.find_first_of(std::string("\r\n\0", 3)) == data.size() - 1;
}

void appendHex(std::string& out, const std::string& prefix, const std::string& bytes) {
    out += prefix;
    std::size_t column = prefix.size();
    char buffer[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        // regedit wraps near 80 columns, ending the broken line with a backslash
        if (column + (last ? 2 : 3) > 77) {
            out += "\\\r\n  ";
            column = 2;
        }
        std::snprintf(buffer, sizeof buffer, last ? "%02x" : "%02x,",
                      static_cast<unsigned char>(bytes[i]));
        out += buffer;
        column += last ? 2 : 3;
    }
    out += "\r\n";
}

void appendValue(std::string& out, const registry::Value& value, Format format) {
    const std::string name = value.name.empty() ? "@" : "\"" + escaped(value.name) + "\"";
    if (value.type == REG_SZ && fitsQuotedForm(value.data)) {
        out += name + "=\"" + escaped(value.data.substr(0, value.data.size() - 1)) + "\"\r\n";
        return;
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(number));
        out += name + "=" + buffer + "\r\n";
        return;
    }
    std::string bytes = value.data;
    if (format == Format::Unicode5 && isStringType(value.type))
        bytes = utf16Bytes(AnsiToWide(value.data));
    char prefix[24];
    if (value.type == REG_BINARY)
        std::snprintf(prefix, sizeof prefix, "=hex:");
    else
        std::snprintf(prefix, sizeof prefix, "=hex(%x):", static_cast<unsigned>(value.type));
    appendHex(out, name + prefix, bytes);
}

void appendKey(std::string& out, registry::KeyId key, Format format) {
    out += "[" + registry::fullPath(key) + "]\r\n";
    for (const auto& value : registry::values(key))
        appendValue(out, value, format);
    out += "\r\n";
    for (registry::KeyId child : registry::children(key))
        appendKey(out, child, format);
}

} // namespace

bool parse(const std::string& fileBytes, std::vector<Operation>& operations, Error& error) {
    operations.clear();
    error = {};
    std::vector<Line> lines;
    if (!decodeLines(fileBytes, lines, error)) return false;
    std::size_t i = 0;
    while (i < lines.size() && trim(lines[i].text).empty())
        ++i;
    if (i == lines.size()) return fail(error, 0, "the file is empty");
    const std::string header = trim(lines[i].text);
    bool unicode = false;
    if (header == kHeader5)
        unicode = true;
    else if (header != kHeader4)
        return fail(error, lines[i].number,
                    "expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
    ++i;

    std::vector<Operation> ops;
    bool inKey = false;
    std::size_t currentKeyIndex = 0;
    for (; i < lines.size(); ++i) {
        const int number = lines[i].number;
        const std::string text = trim(lines[i].text);
        if (text.empty() || text[0] == ';') continue;
        if (text[0] == '[') {
            const std::size_t close = text.rfind(']');
            if (close == std::string::npos || close == 1)
                return fail(error, number, "the key line has no closing ']'");
            if (!trim(text.substr(close + 1)).empty())
                return fail(error, number, "unexpected text after the key's ']'");
            Operation op;
            op.line = number;
            std::string path = text.substr(1, close - 1);
            if (path[0] == '-') {
                op.kind = Operation::Kind::DeleteKey;
                path = path.substr(1);
            }
            if (!parseKeyPath(path, op, error)) return false;
            if (op.kind == Operation::Kind::DeleteKey && op.path.empty())
                return fail(error, number, "a root key cannot be deleted");
            ops.push_back(op);
            currentKeyIndex = ops.size() - 1;
            inKey = true;
            continue;
        }
        if (text[0] != '"' && text[0] != '@')
            return fail(error, number, "neither a key, a value nor a comment");
        if (!inKey) return fail(error, number, "a value before the first key");
        if (ops[currentKeyIndex].kind == Operation::Kind::DeleteKey)
            return fail(error, number, "a value under a key that the file deletes");
        Operation op;
        op.line = number;
        op.hive = ops[currentKeyIndex].hive;
        op.path = ops[currentKeyIndex].path;
        std::size_t pos = 0;
        if (text[0] == '@') {
            pos = 1;
        } else if (!readQuoted(text, pos, op.name, number, error)) {
            return false;
        }
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos == text.size() || text[pos] != '=')
            return fail(error, number, "the value name is not followed by '='");
        std::string data = trim(text.substr(pos + 1));
        // Hex data continues on the next line after a trailing backslash.
        while (!data.empty() && data.back() == '\\' && data[0] != '"') {
            data.pop_back();
            if (++i == lines.size())
                return fail(error, number, "the value continues past the end of the file");
            data += trim(lines[i].text);
        }
        if (!parseData(data, unicode, op, error)) return false;
        ops.push_back(std::move(op));
    }
    operations = std::move(ops);
    return true;
}

void apply(const std::vector<Operation>& operations) {
    Transaction tx;
    for (const auto& op : operations) {
        switch (op.kind) {
        case Operation::Kind::CreateKey:
            registry::create(op.hive, op.path);
            break;
        case Operation::Kind::DeleteKey:
            if (registry::KeyId key = registry::find(op.hive, op.path); key != registry::kNoKey)
                registry::removeTree(key);
            break;
        case Operation::Kind::SetValue:
            registry::setValue(registry::create(op.hive, op.path), op.name, op.type, op.data);
            break;
        case Operation::Kind::DeleteValue:
            if (registry::KeyId key = registry::find(op.hive, op.path); key != registry::kNoKey)
                registry::removeValue(key, op.name);
            break;
        }
    }
    tx.commit();
}

bool importFile(const std::string& fileBytes, Error& error) {
    std::vector<Operation> operations;
    if (!parse(fileBytes, operations, error)) return false;
    apply(operations);
    return true;
}

std::string exportKeys(const std::vector<registry::KeyId>& keys, Format format) {
    std::string text = format == Format::Unicode5 ? kHeader5 : kHeader4;
    text += "\r\n\r\n";
    for (registry::KeyId key : keys)
        appendKey(text, key, format);
    if (format == Format::Regedit4) return text;
    return "\xFF\xFE" + utf16Bytes(AnsiToWide(text));
}

std::string exportKey(registry::KeyId key, Format format) {
    return exportKeys({key}, format);
}

} // namespace platform::regfile
