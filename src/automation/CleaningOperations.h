// The cleanings of the unattended run that exist for it alone: cookies, cache and history of
// Internet Explorer, each followed by the same part of the other browsers. Plain logic over
// the platform; the run hands each the component it works with. Each lets pending window
// messages through between its steps, so that the busy window stays painted, and counts what
// it removed and what stayed; in Preview it only counts.
#pragma once

#include "ui/CleaningResult.h"

#include <string>

class BrowserSession;
class TIECache;
class TUrlHistory;

// Today's browsers are cleaned in `browsers`, the run's session, which leaves a running
// browser alone for the whole run (BrowserCleaning.h); without one, each cleaning has a
// session of its own. Each of today's browsers found adds its own share to the result.

// Every cookie of the cookie window's component, then the cookies of Opera, Mozilla and
// Firefox and of today's browsers, but those of the sites on the keep-list (KeepCookies.h),
// which count as kept. Whatever fails ends this cleaning only.
CleaningResult CleanCookies(TIECache& cookieCache, CleaningMode mode = CleaningMode::Remove,
                            BrowserSession* browsers = nullptr);
// Every entry of the cache section's kinds (cookies left alone), then the caches of Opera,
// Mozilla and Firefox, then those of today's browsers.
CleaningResult CleanCache(TIECache& contentCache, CleaningMode mode = CleaningMode::Remove,
                          BrowserSession* browsers = nullptr);
// The URL history through the history window's component (the clock is not touched), then
// the history files of Opera, Mozilla and Firefox, then the history of today's browsers. What
// the history still holds afterwards counts as not removed.
CleaningResult CleanHistory(TUrlHistory& history, CleaningMode mode = CleaningMode::Remove,
                            BrowserSession* browsers = nullptr);
// The recent documents and the Run list.
CleaningResult CleanRunLists(CleaningMode mode = CleaningMode::Remove);

// The letters the unattended run knows. A string holding any other character (a dropped
// document's path, a mistyped option) selects nothing at all.
inline constexpr const char* kOptionLetters = "cbhmenr";
// Whether the run's letter string selects the step of `letter`: the letter occurs in it
// (case-sensitive) and the string holds nothing but option letters.
bool SelectsStep(const std::string& options, char letter);
// Whether the letter string selects at least one cleaning (n alone selects none).
bool SelectsCleaning(const std::string& options);
// The characters of the letter string that are no option letters, each once, in the order
// they first occur ("cbqxq" gives "qx").
std::string UnknownOptionLetters(const std::string& options);
