// The words for what a cleaning did, in the current language: one line per cleaning for the
// done messages, the run's report and the preview, and the done messages themselves.
#pragma once

#include "ui/CleaningResult.h"

#include <cstdint>
#include <initializer_list>
#include <string>

// The texts of these words, by number.
enum CleaningTextNumber {
    kCookiesWord = 304,
    kCacheWord = 305,
    kHistoryWord = 306,
    kRunListWord = 307,
    kTypedAddressesWord = 308,
    kStartupShortcutsWord = 309,
    kEntriesRemovedText = 310,
    kNotRemovedText = 311,
    kInUseWord = 312,
    kAccessDeniedWord = 313,
    kNotFoundWord = 314,
    kKeptText = 315,
    kAllRemovedText = 316,
    kSomeStayedText = 317,
    kLastRunText = 318,
    kLastRunStayedText = 319,
    kShowReportsText = 320,
    kPreviewLinkText = 321,
    kReportsTitleText = 322,
    kNoReportsText = 323,
    kReportRestartedText = 324,
    kPreviewTitleText = 325,
    kWouldBeRemovedText = 326,
    kWouldStayText = 327,
    kOptionsWord = 328,
    kDecimalMarkText = 329,
    kNothingTickedText = 330,
    kLastRunFailedText = 331,
    kEntryRemovedText = 332,
    kEntryWouldBeRemovedText = 333,
    kUnreadablePartText = 380,
};

// The text with "%1", "%2", ... replaced by the arguments in order.
std::string FillIn(std::string text, std::initializer_list<std::string> arguments);
// A size for people: bytes up to 1 KB, else KB, MB or GB with one decimal, in the language's
// decimal mark.
std::string SizeForPeople(std::uint64_t bytes);
// "Cache: 316 entries removed (4.2 MB), 4 not removed (in use)", with the kept where there
// are any, then each share's line ("  Chrome: 84 entries removed", indented) and each note,
// on lines of their own after a CR. `label` is the cleaning's name.
std::string ResultLine(const std::string& label, const CleaningResult& result,
                       CleaningMode mode = CleaningMode::Remove);
// A section's done message: its own words when everything went, else the words that say
// something stayed; then the result's line without a label.
std::string DoneMessage(int doneText, const CleaningResult& result);
