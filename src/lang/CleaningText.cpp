#include "lang/CleaningText.h"

#include "lang/TQwTrans2.h"

#include <cstdio>
#include <exception>

std::string FillIn(std::string text, std::initializer_list<std::string> arguments) {
    int number = 1;
    for (const std::string& argument : arguments) {
        const std::string mark = "%" + std::to_string(number++);
        // Replaced from the left, past what was put in, so an argument holding "%2" stays.
        for (std::size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + argument.size())) {
            text.replace(at, mark.size(), argument);
        }
    }
    return text;
}

std::string SizeForPeople(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes / 1024;
    return std::to_string(bytes > 0 && kilobytes == 0 ? 1 : kilobytes) + "kb";
}

namespace {

std::string count(std::uint64_t n) {
    return std::to_string(n);
}

// "(in use)" when one reason covers all, else "(2 in use, 1 access denied)".
std::string reasons(const CleaningResult& result) {
    struct Part {
        std::uint64_t n;
        int word;
    };
    const Part parts[] = {{result.inUse, kInUseWord},
                          {result.accessDenied, kAccessDeniedWord},
                          {result.notFound, kNotFoundWord}};
    std::string text;
    int named = 0;
    for (const Part& part : parts)
        named += part.n > 0 ? 1 : 0;
    const std::uint64_t others =
        result.notRemoved - result.inUse - result.accessDenied - result.notFound;
    for (const Part& part : parts) {
        if (part.n == 0) continue;
        if (!text.empty()) text += ", ";
        text += (named > 1 || others > 0 ? count(part.n) + " " : "") + GetText(part.word);
    }
    if (others > 0) {
        // Errors without a word of their own are named by the first one's code.
        for (const CleaningResult::Failure& failure : result.failures) {
            if (failure.reason != StayReason::Other) continue;
            if (!text.empty()) text += ", ";
            text += (named > 0 ? count(others) + " " : "") +
                    FillIn(GetText(kErrorNumberText), {std::to_string(failure.error)});
            break;
        }
    }
    return text.empty() ? text : " (" + text + ")";
}

} // namespace

std::string ResultLine(const std::string& label, const CleaningResult& result, CleaningMode mode) {
    const bool preview = mode == CleaningMode::Preview;
    std::string line = label.empty() ? std::string() : label + ": ";
    const int removed = result.removed == 1
                            ? (preview ? kEntryWouldBeRemovedText : kEntryRemovedText)
                            : (preview ? kWouldBeRemovedText : kEntriesRemovedText);
    line += FillIn(GetText(removed), {count(result.removed)});
    if (result.removedBytes > 0) line += " (" + SizeForPeople(result.removedBytes) + ")";
    if (result.kept > 0) line += ", " + FillIn(GetText(kKeptText), {count(result.kept)});
    if (result.notRemoved > 0) {
        if (preview)
            line += ", " + FillIn(GetText(kWouldStayText), {count(result.notRemoved)});
        else
            line += ", " + FillIn(GetText(kNotRemovedText), {count(result.notRemoved)}) +
                    reasons(result);
    }
    // Each source's own line below, indented, then the notes.
    for (const CleaningResult::Share& share : result.shares) {
        CleaningResult own;
        own.removed = share.removed;
        own.removedBytes = share.removedBytes;
        own.kept = share.kept;
        own.notRemoved = share.notRemoved;
        line += "\r  " + ResultLine(share.name, own, mode);
    }
    for (const std::string& note : result.notes)
        line += '\r' + note;
    return line;
}

std::string WriteErrorText(DWORD error) {
    if (error == ERROR_DISK_FULL) return GetText(kDiskFullText);
    return FillIn(GetText(kErrorNumberText), {std::to_string(error)});
}

void CleanPart(CleaningResult& result, const std::function<void()>& part) {
    std::string reason;
    try {
        part();
        return;
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
    }
    if (reason.empty()) reason = "unknown error";
    result.Note(FillIn(GetText(kStoppedEarlyText), {reason}));
}

std::string DoneMessage(int doneText, const CleaningResult& result) {
    return GetText(result.Incomplete() ? kSomeStayedText : doneText) + '\r' +
           ResultLine({}, result);
}
