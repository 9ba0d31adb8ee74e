#include "automation/CleaningOperations.h"

#include "cache/IECache.h"
#include "cache/KeepCookies.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "traces/TraceClearing.h"
#include "traces/UrlHistory.h"
#include "ui/MyTricks.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string_view>

namespace {

// One part of a cleaning for each other browser, each only when its profile is found.
struct OtherBrowserPart {
    ProfileParts parts;
    int firefoxPurpose;
};

CleaningResult cleanOtherBrowsers(const OtherBrowserPart& part, CleaningMode mode) {
    CleaningResult result;
    ProcessMessages(2);
    if (const std::string opera = FindOperaProfile(); !opera.empty())
        result += CleanOperaProfile(opera, part.parts, mode);
    ProcessMessages(2);
    if (const std::string mozilla = FindMozillaProfile(); !mozilla.empty())
        result += CleanMozillaProfile(mozilla, part.parts, mode);
    ProcessMessages(2);
    if (const std::string firefox = FindFirefoxProfile(part.firefoxPurpose); !firefox.empty())
        result += CleanFirefoxProfile(firefox, part.parts, mode);
    ProcessMessages(2);
    return result;
}

// Internet Explorer's part of a cleaning that could not be read at all stays as it is, and
// the cleaning says so (with the error, as its maker's tools name it).
void noteUnreadable(CleaningResult& result, const std::string& error) {
    result.Note(FillIn(GetText(kUnreadablePartText), {error}));
}

void noteWalkError(CleaningResult& result, const TIECache& cache) {
    if (cache.WalkError() != 0) noteUnreadable(result, std::to_string(cache.WalkError()));
}

CleaningResult cleanTodaysBrowsers(BrowserSession* browsers, BrowserPart part, CleaningMode mode,
                                   const KeepSite& keep = {}) {
    if (browsers) return browsers->CleanAll(part, keep);
    return CleanCurrentBrowsers(part, mode, keep);
}

} // namespace

CleaningResult CleanCookies(TIECache& cookieCache, CleaningMode mode, BrowserSession* browsers) {
    CleaningResult result;
    ProcessMessages(3);
    cookieCache.SetSearchPattern(spCookies);
    // The sites on the keep-list keep their cookies (the earlier browsers' cleanings read
    // the list themselves, today's are handed it). The list is only read.
    const TKeepCookies keep = TKeepCookies::FromRegistry();
    // Each browser's part ends by itself: one that gives way leaves the others to be cleaned.
    CleanPart(result, [&] {
        result += cookieCache.DeleteAllEntries(
            mode, [&keep](const std::string& url) { return KeepsCookieEntry(keep, url); });
        noteWalkError(result, cookieCache);
    });
    CleanPart(result, [&] {
        result +=
            cleanOtherBrowsers({.parts = {.cookies = true}, .firefoxPurpose = ffCookies}, mode);
    });
    CleanPart(result, [&] {
        result +=
            cleanTodaysBrowsers(browsers, BrowserPart::Cookies, mode,
                                [&keep](const std::string& host) { return keep.Keeps(host); });
    });
    return result;
}

CleaningResult CleanCache(TIECache& contentCache, CleaningMode mode, BrowserSession* browsers) {
    ProcessMessages(3);
    contentCache.SetSearchPattern(spUrl);
    CleaningResult result = contentCache.DeleteAllEntries(mode);
    noteWalkError(result, contentCache);
    result += cleanOtherBrowsers({.parts = {.cache = true}, .firefoxPurpose = ffCache}, mode);
    result += cleanTodaysBrowsers(browsers, BrowserPart::Cache, mode);
    return result;
}

CleaningResult CleanHistory(TUrlHistory& history, CleaningMode mode, BrowserSession* browsers) {
    CleaningResult result;
    ProcessMessages(3);
    const std::size_t stored = history.StoredUrls().size();
    if (const HRESULT problem = history.ReadProblem(); FAILED(problem)) {
        char code[24];
        std::snprintf(code, sizeof code, "0x%08X",
                      static_cast<unsigned>(static_cast<std::uint32_t>(problem)));
        noteUnreadable(result, code);
    } else if (mode == CleaningMode::Preview) {
        result.removed = stored;
    } else {
        history.ClearHistory();
        ProcessMessages(3);
        // Without an OnDelete handler this pass walks the store and deletes nothing.
        history.DeleteEntries();
        history.DeleteUrl(AnsiToWide("*.*"));
        result += history.ClearedSince(stored);
    }
    result += cleanOtherBrowsers({.parts = {.history = true}, .firefoxPurpose = ffHistory}, mode);
    result += cleanTodaysBrowsers(browsers, BrowserPart::History, mode);
    return result;
}

CleaningResult CleanRunLists(CleaningMode mode) {
    ProcessMessages(3);
    CleaningResult result = ClearRecentDocuments(mode);
    ProcessMessages(2);
    result += ClearRunList(mode);
    return result;
}

bool SelectsStep(const std::string& options, char letter) {
    if (options.find_first_not_of(kOptionLetters) != std::string::npos) return false;
    return options.find(letter) != std::string::npos;
}

std::string UnknownOptionLetters(const std::string& options) {
    std::string unknown;
    for (const char c : options)
        if (std::string_view(kOptionLetters).find(c) == std::string_view::npos &&
            unknown.find(c) == std::string::npos)
            unknown += c;
    return unknown;
}

bool SelectsCleaning(const std::string& options) {
    for (const char letter : std::string("cbhmer"))
        if (SelectsStep(options, letter)) return true;
    return false;
}
