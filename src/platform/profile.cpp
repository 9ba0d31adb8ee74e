// GetPrivateProfileStringA and WritePrivateProfileStringA: INI files read and written line by
// line as Windows does, over whole-file reads and writes.
#include "platform/ansi.h"
#include "platform/inifile.h"
#include "platform/intshcut.h"
#include "platform/win32.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    std::string text; // as read, without the line end
    std::string name; // section or key name
    std::string value;
};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A file's bytes as ANSI text: a UTF-8 byte-order mark is dropped, UTF-16 is converted.
std::string decodeText(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return platform::utf8ToAnsi(bytes.substr(3));
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        return WideToAnsi(wide);
    }
    return bytes;
}

std::vector<Line> parse(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        Line line;
        line.text = text.substr(start, end - start);
        if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
        start = end + 1;
        const std::string t = trimmed(line.text);
        if (t.empty() || t[0] == ';') {
            line.kind = Line::Other;
        } else if (t[0] == '[') {
            line.kind = Line::Section;
            const auto close = t.find(']');
            line.name =
                trimmed(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else {
            line.kind = Line::Key;
            const auto equals = t.find('=');
            line.name = trimmed(t.substr(0, equals));
            if (equals != std::string::npos) line.value = unquoted(trimmed(t.substr(equals + 1)));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The Windows folder holds INI files named without a folder.
std::string iniPath(LPCSTR fileName) {
    const std::string name = fileName;
    if (name.find_first_of("\\/:") == std::string::npos) return "C:\\Windows\\" + name;
    return name;
}

// Index of the first section of that name, or lines.size().
std::size_t findSection(const std::vector<Line>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && AnsiSameText(lines[i].name, section)) return i;
    return lines.size();
}

// One past the last line of the section that starts at `header`.
std::size_t sectionEnd(const std::vector<Line>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section)
        ++i;
    return i;
}

DWORD copyValue(const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

// Zero-ended names followed by a second zero; a list cut short still ends in two zeros.
DWORD copyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    std::string all;
    for (const auto& n : names)
        all += n + '\0';
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        return static_cast<DWORD>(all.size());
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

} // namespace

namespace {

// Windows drops trailing blanks of the default.
std::string defaultTextOf(LPCSTR defaultValue) {
    std::string text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

DWORD platform::ini::profileString(const std::string& fileBytes, LPCSTR section, LPCSTR key,
                                   LPCSTR defaultValue, LPSTR buffer, DWORD size) {
    const std::vector<Line> lines = parse(decodeText(fileBytes));
    if (!section) {
        std::vector<std::string> names;
        for (const auto& l : lines)
            if (l.kind == Line::Section) names.push_back(l.name);
        return copyList(names, buffer, size);
    }
    const std::size_t header = findSection(lines, section);
    const std::size_t end = header < lines.size() ? sectionEnd(lines, header) : header;
    if (!key) {
        std::vector<std::string> names;
        for (std::size_t i = header + 1; i < end; ++i)
            if (lines[i].kind == Line::Key) names.push_back(lines[i].name);
        return copyList(names, buffer, size);
    }
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines[i].kind == Line::Key && AnsiSameText(lines[i].name, key))
            return copyValue(lines[i].value, buffer, size);
    return copyValue(defaultTextOf(defaultValue), buffer, size);
}

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    if (!buffer || size == 0 || !fileName) return 0;
    std::string bytes;
    if (!ReadWholeFile(iniPath(fileName), bytes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        if (!section || !key) return copyList({}, buffer, size);
        return copyValue(defaultTextOf(defaultValue), buffer, size);
    }
    return platform::ini::profileString(bytes, section, key, defaultValue, buffer, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
    if (!section && !key && !value) return TRUE; // a request to flush; nothing is cached
    if (!section || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string path = iniPath(fileName);
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) bytes.clear();
    std::vector<Line> lines = parse(decodeText(bytes));
    const std::size_t header = findSection(lines, section);
    if (header == lines.size()) {
        if (!key || !value) return TRUE; // nothing to delete
        Line s;
        s.kind = Line::Section;
        s.name = section;
        s.text = std::string("[") + section + "]";
        lines.push_back(s);
    }
    const std::size_t at = findSection(lines, section);
    std::size_t end = sectionEnd(lines, at);
    if (!key) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
    } else {
        std::size_t found = end;
        for (std::size_t i = at + 1; i < end; ++i)
            if (lines[i].kind == Line::Key && AnsiSameText(lines[i].name, key)) {
                found = i;
                break;
            }
        Line entry;
        entry.kind = Line::Key;
        entry.text = std::string(key) + "=" + (value ? value : "");
        if (!value) {
            if (found == end) return TRUE;
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found));
        } else if (found != end) {
            lines[found] = entry;
        } else {
            // After the section's last entry, before the blank lines that part it from the next.
            while (end > at + 1 && lines[end - 1].kind == Line::Other &&
                   trimmed(lines[end - 1].text).empty())
                --end;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), entry);
        }
    }
    std::string out;
    for (const auto& l : lines)
        out += l.text + "\r\n";
    return WriteWholeFile(path, out) ? TRUE : FALSE;
}
