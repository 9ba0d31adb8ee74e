// What a cleaning did: how many items it removed (and their bytes, where they are files), how
// many it kept on purpose, and how many it could not remove, with why and the first few names.
// Every cleaning returns one; the run adds them up, the done messages, the run's report and
// the preview read them. Plain data over the platform's error codes.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

// Why an item stayed, as a user reads it.
enum class StayReason { InUse, AccessDenied, NotFound, Other };

// The reason a Win32 error code stands for: sharing and lock violations are "in use".
StayReason ReasonOf(DWORD error);

// Text read from another program's file (a profile's name, a path, an address), as it may be
// shown, printed or written: every control character (line breaks, escape sequences, tabs) and
// every byte the ANSI code page leaves undefined becomes '?', so that a name cannot start a
// line of its own, steer a terminal or make a report unreadable.
std::string PrintableText(std::string text);

// Whether a cleaning removes what it finds or only counts what it would remove.
enum class CleaningMode { Remove, Preview };

struct CleaningResult {
    struct Failure {
        std::string name;
        DWORD error = 0;
        StayReason reason = StayReason::Other;
    };
    // How many failures keep their names: enough to say which, few enough for a report line.
    static constexpr std::size_t kNamedFailures = 5;

    std::uint64_t removed = 0;
    std::uint64_t removedBytes = 0;
    std::uint64_t kept = 0;
    std::uint64_t notRemoved = 0;
    std::uint64_t inUse = 0;
    std::uint64_t accessDenied = 0;
    std::uint64_t notFound = 0;
    // The first few items that stayed.
    std::vector<Failure> failures;
    // Whole parts that were not cleaned, each a finished line for the user ("Firefox is
    // running: close it to clean it", a damaged file and why).
    std::vector<std::string> notes;
    // Where a cleaning covers several sources by name (today's browsers), what each came to,
    // in the order they were cleaned.
    struct Share {
        std::string name;
        std::uint64_t removed = 0;
        std::uint64_t removedBytes = 0;
        std::uint64_t kept = 0;
        std::uint64_t notRemoved = 0;
    };
    std::vector<Share> shares;

    void Removed(std::uint64_t bytes = 0) {
        ++removed;
        removedBytes += bytes;
    }
    void Kept() { ++kept; }
    void Failed(const std::string& name, DWORD error) { Failed(name, error, ReasonOf(error)); }
    void Failed(const std::string& name, DWORD error, StayReason reason);
    // The line, made printable: it may name another program's files.
    void Note(const std::string& line) { notes.push_back(PrintableText(line)); }

    // Whether something stayed that the cleaning meant to remove.
    bool Incomplete() const { return notRemoved > 0 || !notes.empty(); }
    // Items and bytes and failures of `other` added to these; named failures up to the limit;
    // its shares after these, a source named in both adding up.
    CleaningResult& operator+=(const CleaningResult& other);
};
