// The done message a cleaning of `removed` entries ends with, everything gone, as the message
// window records it (lines joined with a line feed).
#pragma once

#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::string removedLine(std::uint64_t removed) {
    return FillIn(GetText(removed == 1 ? kEntryRemovedText : kEntriesRemovedText),
                  {std::to_string(removed)});
}

inline std::string doneMessage(int text, std::uint64_t removed) {
    return GetText(text) + "\n" + removedLine(removed);
}

// The first line of each message.
inline std::vector<std::string> firstLines(const std::vector<std::string>& messages) {
    std::vector<std::string> lines;
    for (const std::string& message : messages)
        lines.push_back(message.substr(0, message.find('\n')));
    return lines;
}
