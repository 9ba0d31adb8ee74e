// The texts of today's browsers' lookups and cleanings: the notes they leave for the user, in
// the current language (numbers 360 to 379).
#pragma once

#include <string>

enum BrowserTextNumber {
    kTextFirefoxGroup = 360,
    kTextChromeGroup = 361,
    kTextEdgeGroup = 362,
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
};

std::string BrowserText(int number);
// "<file> was left as it is: <reason>".
std::string FileNote(const std::string& file, const std::string& reason);
// "<browser> is running: close it to clean it".
std::string RunningNote(const std::string& browser);
