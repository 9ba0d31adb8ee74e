// The unattended runs' report ("Surfkolibri.log"): its blocks read back, and a run added to a
// report file as the unattended run adds it.
#include "fuzz_support.h"

#include "automation/RunReport.h"

#include <cstring>

namespace {

bool sameRuns(const std::vector<RunRecord>& a, const std::vector<RunRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i].when, &b[i].when, sizeof a[i].when) != 0 ||
            a[i].options != b[i].options || a[i].removed != b[i].removed ||
            a[i].notRemoved != b[i].notRemoved || a[i].lines != b[i].lines)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const RunReport report = ParseRunReport(text);
    for (const RunRecord& run : report.runs) {
        FUZZ_CHECK(run.options.find_first_not_of("cbhmenr") == std::string::npos);
        for (const std::string& line : run.lines)
            FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
    }
    // The whole blocks read back the same once written, and whole.
    const RunReport again = ParseRunReport(FormatRunReport(report.runs));
    FUZZ_CHECK(!again.damaged);
    FUZZ_CHECK(sameRuns(again.runs, report.runs));

    // A run added to the file: the blocks that were whole, the new one last, at most the
    // number the report keeps, and a note when the file was damaged.
    const std::string path = fuzzing::writeInput("Surfkolibri.log", data, size);
    RunRecord run;
    run.when = SYSTEMTIME{2026, 12, 2, 8, 7, 49, 3, 0};
    run.options = "cbhme";
    run.removed = 412;
    run.lines = {"Cookies: 12 entries removed"};
    FUZZ_CHECK(AppendRunRecord(path, run, "restarted"));
    const RunReport written = ReadRunReport(path);
    FUZZ_CHECK(!written.damaged);
    FUZZ_CHECK(!written.runs.empty() && written.runs.size() <= kReportedRuns);
    FUZZ_CHECK(written.runs.size() == std::min(report.runs.size() + 1, kReportedRuns));
    FUZZ_CHECK(written.runs.back().lines.size() == (report.damaged ? 2u : 1u));
    return 0;
}
