#include "automation/RunReport.h"

#include "platform/ansi.h"
#include "ui/MyTricks.h"

#include <cstdio>

namespace {

// A report beyond this size is no report of ours: 100 runs take a few hundred KB at most.
constexpr std::uint64_t kLargestReport = 4u * 1024u * 1024u;
// A longer line is no line of ours.
constexpr std::size_t kLongestLine = 4096;
constexpr const char* kHeaderMark = "### ";

// The text with every character that a line of the report may not hold replaced by '?': a
// control character (C0 but the tab, DEL, C1) or a byte that is no part of UTF-8. The reader
// takes a line as it is only when nothing would be replaced, and the writer writes a line
// only so, whatever it was given: a name from another program's file cannot end a line,
// start a block or make the report unreadable.
std::string printableUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c < 0x20 && c != '\t') || c == 0x7F ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        int more = 0;
        if ((c & 0xE0) == 0xC0 && c >= 0xC2)
            more = 1;
        else if ((c & 0xF0) == 0xE0)
            more = 2;
        else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
            more = 3;
        bool whole = more > 0 && i + static_cast<std::size_t>(more) < text.size();
        for (int k = 1; whole && k <= more; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (whole && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            whole = false; // U+0080 to U+009F
        if (!whole) {
            out += '?';
            ++i;
            continue;
        }
        out.append(text, i, static_cast<std::size_t>(more) + 1);
        i += static_cast<std::size_t>(more) + 1;
    }
    return out;
}

bool readNumber(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoull(text);
    return true;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "### 2026-12-08 07:49:03 | cbhme | 412 | 4"
bool parseHeader(const std::string& line, RunRecord& record) {
    if (line.rfind(kHeaderMark, 0) != 0) return false;
    std::vector<std::string> fields;
    std::size_t start = 4;
    for (std::size_t bar = line.find('|', start);; bar = line.find('|', start)) {
        fields.push_back(trimmed(line.substr(start, bar == std::string::npos ? bar : bar - start)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (fields.size() != 4) return false;
    unsigned year, month, day, hour, minute, second;
    char rest;
    if (std::sscanf(fields[0].c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &year, &month, &day, &hour,
                    &minute, &second, &rest) != 6)
        return false;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return false;
    record.when = SYSTEMTIME{static_cast<WORD>(year),
                             static_cast<WORD>(month),
                             0,
                             static_cast<WORD>(day),
                             static_cast<WORD>(hour),
                             static_cast<WORD>(minute),
                             static_cast<WORD>(second),
                             0};
    record.options = fields[1];
    if (record.options.find_first_not_of("cbhmenr") != std::string::npos) return false;
    return readNumber(fields[2], record.removed) && readNumber(fields[3], record.notRemoved);
}

std::string header(const RunRecord& record) {
    char when[32];
    std::snprintf(when, sizeof when, "%04u-%02u-%02u %02u:%02u:%02u", record.when.wYear % 10000u,
                  record.when.wMonth % 100u, record.when.wDay % 100u, record.when.wHour % 100u,
                  record.when.wMinute % 100u, record.when.wSecond % 100u);
    return std::string(kHeaderMark) + when + " | " + record.options + " | " +
           std::to_string(record.removed) + " | " + std::to_string(record.notRemoved);
}

std::string convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return {};
    const int wideLength =
        MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wideLength <= 0) return {};
    std::basic_string<WCHAR> wide(static_cast<std::size_t>(wideLength), 0);
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, result.data(), length, nullptr, nullptr);
    return result;
}

// Runs take turns at the report through a lock folder beside it: making a folder either
// succeeds or finds one there, on every file system. A lock that stays longer than a run
// takes to write its report is left over from a run that ended without removing it.
class ReportLock {
  public:
    explicit ReportLock(const std::string& path) : path_(path + ".lock") {
        for (int tries = 0; tries < kTries; ++tries) {
            if (CreateDirectoryA(path_.c_str(), nullptr)) {
                held_ = true;
                return;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) return;
            Sleep(kPauseMs);
        }
        // The lock outlived any writer: take it over.
        held_ = DirectoryExistsA(path_);
    }
    ~ReportLock() {
        if (held_) RemoveDirectoryA(path_.c_str());
    }
    ReportLock(const ReportLock&) = delete;
    ReportLock& operator=(const ReportLock&) = delete;

  private:
    static constexpr int kTries = 20;
    static constexpr DWORD kPauseMs = 100;
    std::string path_;
    bool held_ = false;
};

} // namespace

std::string AnsiToUtf8(const std::string& ansi) {
    return convert(ansi, CP_ACP, CP_UTF8);
}

std::string Utf8ToAnsi(const std::string& utf8) {
    return convert(utf8, CP_UTF8, CP_ACP);
}

std::string RunReportPath() {
    return GetDataFolder(ProductName) + kReportFileName;
}

namespace {

// A line below a header as the report holds it, whatever text it was given: printable and
// no longer than a line may be. (An empty one, which would end the block, is not written.)
std::string bodyLine(const std::string& utf8) {
    std::string line = printableUtf8(utf8);
    if (line.size() > kLongestLine) {
        // Cut before a whole character.
        std::size_t cut = kLongestLine;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        line.resize(cut);
    }
    return line;
}

} // namespace

std::string FormatRunReport(const std::vector<RunRecord>& runs) {
    std::string text;
    for (const RunRecord& run : runs) {
        text += header(run) + "\r\n";
        for (const std::string& line : run.lines)
            if (const std::string written = bodyLine(line); !written.empty())
                text += written + "\r\n";
        text += "\r\n";
    }
    return text;
}

RunReport ParseRunReport(const std::string& text) {
    RunReport report;
    RunRecord current;
    bool inBlock = false;
    bool blockWhole = false;
    auto finish = [&] {
        if (inBlock && blockWhole) report.runs.push_back(current);
        if (inBlock && !blockWhole) report.damaged = true;
        inBlock = false;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        RunRecord parsed;
        // A header begins a block only where none is open: inside one, a line that reads like
        // a header is the block's own text (a name from another program's file may).
        if (!inBlock && parseHeader(line, parsed)) {
            current = parsed;
            inBlock = true;
            blockWhole = false;
            continue;
        }
        if (line.empty()) {
            // The empty line closes a block; a block cut off before it is not whole.
            if (inBlock) {
                blockWhole = blockWhole || !lastLine;
                if (blockWhole) finish();
            }
            continue;
        }
        if (!inBlock || line.size() > kLongestLine || printableUtf8(line) != line) {
            report.damaged = true;
            inBlock = false; // the block is dropped whole
            continue;
        }
        current.lines.push_back(line);
    }
    finish();
    return report;
}

RunReport ReadRunReport(const std::string& path) {
    RunReport report;
    WIN32_FIND_DATAA data{};
    if (!UniqueFindHandle(FindFirstFileA(path.c_str(), &data)).valid()) return report;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::string text;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || size > kLargestReport ||
        !ReadWholeFile(path, text)) {
        report.damaged = true;
        return report;
    }
    return ParseRunReport(text);
}

bool AppendRunRecord(const std::string& path, RunRecord record, const std::string& restartedLine) {
    const ReportLock lock(path);
    RunReport report = ReadRunReport(path);
    if (report.damaged && !restartedLine.empty()) record.lines.push_back(restartedLine);
    report.runs.push_back(std::move(record));
    if (report.runs.size() > kReportedRuns)
        report.runs.erase(report.runs.begin(),
                          report.runs.end() - static_cast<std::ptrdiff_t>(kReportedRuns));
    const std::string fresh = path + ".new";
    // What failed is the caller's last error, not the clearing up after it.
    const auto failed = [&fresh] {
        const DWORD error = GetLastError();
        DeleteFileA(fresh.c_str());
        SetLastError(error);
        return false;
    };
    if (!WriteWholeFile(fresh, FormatRunReport(report.runs))) return failed();
    // The new file's contents reach the disk before its name replaces the old report's, so
    // that a power loss leaves the old report or the new one, never an empty file.
    if (!MoveFileExA(fresh.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failed();
    return true;
}
