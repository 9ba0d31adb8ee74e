#include "automation/CleaningOperations.h"

#include "cache/IECache.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "traces/UrlHistory.h"
#include "ui/MyTricks.h"

#include <exception>

namespace {

// One part of a cleaning for each other browser, each only when its profile is found.
struct OtherBrowserPart {
    bool cache = false;
    bool cookies = false;
    bool history = false;
    int firefoxPurpose;
};

void cleanOtherBrowsers(const OtherBrowserPart& part) {
    ProcessMessages(2);
    if (const std::string opera = FindOperaProfile(); !opera.empty())
        CleanOperaProfile(opera, part.cache, part.cookies, part.history);
    ProcessMessages(2);
    if (const std::string mozilla = FindMozillaProfile(); !mozilla.empty())
        CleanMozillaProfile(mozilla, part.cache, part.cookies, part.history);
    ProcessMessages(2);
    if (const std::string firefox = FindFirefoxProfile(part.firefoxPurpose); !firefox.empty())
        CleanFirefoxProfile(firefox, part.cache, part.cookies, part.history);
    ProcessMessages(2);
}

} // namespace

void CleanCookies(TIECache& cookieCache) {
    ProcessMessages(3);
    cookieCache.SetSearchPattern(spCookies);
    try {
        cookieCache.DeleteAllEntries();
        cleanOtherBrowsers({.cookies = true, .firefoxPurpose = ffCookies});
        CleanCurrentBrowsers(BrowserPart::Cookies, CleaningMode::Remove);
    } catch (const std::exception&) {
    }
}

void CleanCache(TIECache& contentCache) {
    ProcessMessages(3);
    contentCache.SetSearchPattern(spUrl);
    contentCache.DeleteAllEntries();
    cleanOtherBrowsers({.cache = true, .firefoxPurpose = ffCache});
    CleanCurrentBrowsers(BrowserPart::Cache, CleaningMode::Remove);
}

void CleanHistory(TUrlHistory& history) {
    ProcessMessages(3);
    history.ClearHistory();
    ProcessMessages(3);
    // Without an OnDelete handler this pass walks the store and deletes nothing.
    history.DeleteEntries();
    history.DeleteUrl(AnsiToWide("*.*"));
    cleanOtherBrowsers({.history = true, .firefoxPurpose = ffHistory});
    CleanCurrentBrowsers(BrowserPart::History, CleaningMode::Remove);
}

bool SelectsStep(const std::string& options, char letter) {
    if (options.find_first_not_of(kOptionLetters) != std::string::npos) return false;
    return options.find(letter) != std::string::npos;
}
