// The report of the unattended runs: "Surfkolibri.log" in the data folder, plain UTF-8 text, one
// block per run, newest last, the last 100 runs. A block starts with a header line that the
// program reads back ("### 2026-12-08 07:49:03 | cbhme | 412 | 4": local time, the run's
// letters, entries removed, entries not removed), then the run's lines in the user's language,
// then an empty line.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

struct RunRecord {
    SYSTEMTIME when{};
    std::string options;
    std::uint64_t removed = 0;
    std::uint64_t notRemoved = 0;
    // The lines below the header, UTF-8.
    std::vector<std::string> lines;
};

struct RunReport {
    std::vector<RunRecord> runs; // oldest first
    // The file held something that is no whole block (junk, a cut-off block, a line too long,
    // text that is no UTF-8, a file too big): only the whole blocks were read.
    bool damaged = false;
};

inline constexpr std::size_t kReportedRuns = 100;
inline constexpr const char* kReportFileName = "Surfkolibri.log";

// The report's path in the data folder.
std::string RunReportPath();
// Reads the report; a missing file is an empty report, not a damaged one.
RunReport ReadRunReport(const std::string& path);
// The report's text as the file holds it.
std::string FormatRunReport(const std::vector<RunRecord>& runs);
// Parses a report's text; the whole blocks of a damaged one.
RunReport ParseRunReport(const std::string& text);
// Adds the run at the end, drops the oldest beyond the limit and writes the file anew in one
// step (a new file beside it, then moved over it), so that a crash never leaves half a file;
// a damaged report is replaced by its whole blocks and the new run says so (`restartedLine`,
// UTF-8). Two runs at once take turns. False when the report could not be written.
bool AppendRunRecord(const std::string& path, RunRecord record, const std::string& restartedLine);
// Text in the ANSI code page as UTF-8, and back (characters the code page lacks become '?').
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
