// The words for what a cleaning did, in the current language: one line per cleaning for the
// done messages, the run's report and the preview, and the done messages themselves.
#pragma once

#include "ui/CleaningResult.h"

#include <cstdint>
#include <functional>
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
    kNothingTickedText = 330,
    kLastRunFailedText = 331,
    kEntryRemovedText = 332,
    kEntryWouldBeRemovedText = 333,
    kUnreadablePartText = 380,
    kStoppedEarlyText = 430,
    kReportNotWrittenText = 431,
    kDiskFullText = 432,
    kErrorNumberText = 433,
};

// The text with "%1", "%2", ... replaced by the arguments in order.
std::string FillIn(std::string text, std::initializer_list<std::string> arguments);
// A size as the whole program writes it: kilobytes (1024 bytes) without their fraction and
// "kb" ("38kb"), and 1kb for anything from one byte up to a kilobyte, so that something
// there never reads as 0.
std::string SizeForPeople(std::uint64_t bytes);
// "Cache: 316 entries removed (4300kb), 4 not removed (in use)", with the kept where there
// are any, then each share's line ("  Chrome: 84 entries removed", indented) and each note,
// on lines of their own after a CR. `label` is the cleaning's name.
std::string ResultLine(const std::string& label, const CleaningResult& result,
                       CleaningMode mode = CleaningMode::Remove);
// Why a file could not be written, as the user reads it: "the disk is full", else the error's
// number.
std::string WriteErrorText(DWORD error);
// Runs one part of a cleaning: what it throws ends that part alone and stays in `result` as a
// note with its reason, so that the cleaning counts as one that left something.
void CleanPart(CleaningResult& result, const std::function<void()>& part);
// A section's done message: its own words when everything went, else the words that say
// something stayed; then the result's line without a label.
std::string DoneMessage(int doneText, const CleaningResult& result);
