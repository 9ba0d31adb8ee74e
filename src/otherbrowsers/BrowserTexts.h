// The texts of today's browsers' lookups, cleanings and window: the notes they leave for the
// user, in the current language (numbers 363 to 374 and 390 to 402).
#pragma once

#include <string>

enum BrowserTextNumber {
    kTextRunning = 363,   // "%1 is running: close it to clean it"
    kTextFileLeft = 364,  // "%1 was left as it is: %2"
    kTextNotSqlite = 365, // the reasons, each a phrase about the file
    kTextDamaged = 366,
    kTextReadOnly = 367,
    kTextInUse = 368,
    kTextSchema = 369,
    kTextWalDamaged = 370,
    kTextUnreadable = 371,
    kTextTooLarge = 372,
    kTextOutside = 373,
    kTextEmpty = 374,
    kTextOldOperaGroup = 390, // the earlier browsers' groups of the window
    kTextOldFirefoxGroup = 391,
    kTextPartlyCleaned = 394, // "%1 was cleaned in part: ..."
    kTextBookmarksUnread = 395,
    kTextLegendCache = 396, // the window's lines on what each part removes
    kTextLegendCookies = 397,
    kTextLegendHistory = 398,
    kTextLegendNever = 399,
    kTextProfiles = 400, // "%1 profiles"
    kTextOneProfile = 401,
    kTextNoneFound = 402,
};

std::string BrowserText(int number);
// "<file> was left as it is: <reason>".
std::string FileNote(const std::string& file, const std::string& reason);
// "<file> was cleaned in part: ...", for a database of a layout only partly known.
std::string PartlyCleanedNote(const std::string& file);
// "<browser> is running: close it to clean it".
std::string RunningNote(const std::string& browser);
