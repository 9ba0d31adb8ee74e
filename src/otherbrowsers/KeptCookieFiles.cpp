#include "otherbrowsers/KeptCookieFiles.h"

#include "platform/win32.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
constexpr std::size_t kCookieFields = 7;
// Beside the file being rewritten, replaced over it once it is complete.
constexpr const char* kNewFileSuffix = ".surfkolibri-new";

enum class LineKind { Header, Other, KeptCookie, Cookie };

// What a line (without its line end) is to the cleaning.
LineKind kindOf(std::string_view line, const TKeepCookies& keep) {
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) return LineKind::Header;
    std::string_view body = line;
    if (body.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix)
        body.remove_prefix(kHttpOnlyPrefix.size());
    else if (body.front() == '#')
        return LineKind::Header;
    const std::size_t fields =
        static_cast<std::size_t>(std::count(body.begin(), body.end(), '\t')) + 1;
    if (fields < kCookieFields) return LineKind::Other;
    const std::string host(body.substr(0, body.find('\t')));
    if (KeepSiteName(host).empty()) return LineKind::Other;
    return keep.Keeps(host) ? LineKind::KeptCookie : LineKind::Cookie;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool containsIgnoringCase(const std::string& data, const std::string& lowerNeedle) {
    const auto found = std::search(data.begin(), data.end(), lowerNeedle.begin(), lowerNeedle.end(),
                                   [](char a, char b) { return lowerAscii(a) == b; });
    return found != data.end();
}

// Whether Opera's file holds the site: its whole name, or each of its parts.
bool holdsSite(const std::string& data, const std::string& host) {
    if (containsIgnoringCase(data, host)) return true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = host.find('.', start);
        if (!containsIgnoringCase(data, host.substr(start, dot - start))) return false;
        if (dot == std::string::npos) return true;
        start = dot + 1;
    }
}

// Reads the file; false with the result telling why when it cannot be cleaned. A missing
// file, or a folder of that name, is nothing to clean and no failure.
bool readCookieFile(const std::string& path, std::string& data, CleaningResult& result) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (ReadWholeFile(path, data)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) result.Failed(path, error);
    return false;
}

// Writes `contents` over `path` through a new file beside it; the old file stays whole
// until the new one replaces it. The error, or ERROR_SUCCESS.
DWORD replaceFile(const std::string& path, const std::string& contents) {
    const std::string fresh = path + kNewFileSuffix;
    if (!WriteWholeFile(fresh, contents)) {
        const DWORD error = GetLastError();
        // Only a file of ours goes: a folder of that name is no leftover.
        const DWORD found = GetFileAttributesA(fresh.c_str());
        if (found != INVALID_FILE_ATTRIBUTES && !(found & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(fresh.c_str());
        return error;
    }
    if (!MoveFileExA(fresh.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(fresh.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

} // namespace

CleaningResult CleanCookiesTxt(const std::string& path, const TKeepCookies& keep,
                               CleaningMode mode) {
    CleaningResult result;
    std::string data;
    if (!readCookieFile(path, data, result)) return result;

    std::string staying;
    staying.reserve(data.size());
    std::uint64_t removed = 0;
    std::uint64_t removedBytes = 0;
    std::uint64_t kept = 0;
    std::uint64_t others = 0;
    for (std::size_t start = 0; start < data.size();) {
        const std::size_t end = data.find('\n', start);
        const std::size_t next = end == std::string::npos ? data.size() : end + 1;
        std::string_view line(data.data() + start, next - start);
        std::string_view text = line;
        if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        switch (kindOf(text, keep)) {
        case LineKind::Cookie:
            ++removed;
            removedBytes += line.size();
            break;
        case LineKind::KeptCookie:
            ++kept;
            staying.append(line);
            break;
        case LineKind::Other:
            ++others;
            staying.append(line);
            break;
        case LineKind::Header:
            staying.append(line);
            break;
        }
        start = next;
    }
    result.kept = kept;
    // Nothing can be told apart while the list is unreadable: everything stays.
    if (!keep.Readable()) return result;
    const bool wholeFile = kept == 0;
    if (wholeFile) {
        // Every line that was no comment goes with the file.
        removed += others;
        if (removed == 0) removed = 1;
    } else if (removed == 0) {
        return result;
    }
    if (mode == CleaningMode::Remove) {
        const DWORD error = wholeFile ? (DeleteFileA(path.c_str()) ? ERROR_SUCCESS : GetLastError())
                                      : replaceFile(path, staying);
        if (error != ERROR_SUCCESS) {
            result.Failed(path, error);
            return result;
        }
    }
    result.removed = removed;
    result.removedBytes = wholeFile ? data.size() : removedBytes;
    return result;
}

CleaningResult CleanOperaCookies(const std::string& path, const TKeepCookies& keep,
                                 CleaningMode mode) {
    CleaningResult result;
    std::string data;
    if (!readCookieFile(path, data, result)) return result;
    const bool holdsKept = !keep.Readable() || std::any_of(keep.Sites().begin(), keep.Sites().end(),
                                                           [&](const TKeepCookies::Site& site) {
                                                               return holdsSite(data, site.host);
                                                           });
    if (holdsKept) {
        result.Kept();
        return result;
    }
    if (mode == CleaningMode::Remove && !DeleteFileA(path.c_str())) {
        result.Failed(path, GetLastError());
        return result;
    }
    result.Removed(data.size());
    return result;
}

CleaningResult CleanCookieFile(const std::string& path, const TKeepCookies& keep,
                               CleaningMode mode) {
    std::string name = fileNameOf(path);
    std::transform(name.begin(), name.end(), name.begin(), lowerAscii);
    return name == "cookies4.dat" ? CleanOperaCookies(path, keep, mode)
                                  : CleanCookiesTxt(path, keep, mode);
}
