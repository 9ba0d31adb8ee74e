// Times the two heavy paths of the surf traces, offscreen: showing the History window over
// 10 000 visits (the history refresh plus the grid fill, median of 5), and the unattended
// clearing of 2 000 typed addresses (median of 5, the values written anew before each run).
#include "bench_support.h"
#include "lang/TQwTrans2.h"
#include "platform/filetime.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "shell/ProgramWindows.h"
#include "traces/TraceClearing.h"
#include "traces/UrlHistory.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/FormBase.h"
#include "ui/MyTricks.h"

#include <QApplication>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using bench::median;
using bench::millisecondsOf;

void fillHistory(int count) {
    platform::Transaction tx;
    platform::urlcache::Record r;
    r.type = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;
    for (int i = 0; i < count; ++i) {
        const std::string site = "site" + std::to_string(i % 500) + ".example";
        r.url = "Visited: " + platform::userName() + "@http://www." + site + "/page" +
                std::to_string(i) + ".html";
        r.title = site + " - page " + std::to_string(i);
        // Visits spread over the last three weeks, not in order.
        const std::uint64_t t =
            134000000000000000ull + static_cast<std::uint64_t>((i * 7919) % count) * 1800000000ull;
        r.lastAccess = r.lastModified = r.lastSync = platform::fileTimeOf(t);
        r.expire = platform::fileTimeOf(t + 17280000000000ull);
        platform::urlcache::put(r);
    }
    tx.commit();
}

void fillTypedUrls(int count) {
    namespace registry = platform::registry;
    platform::Transaction tx;
    const registry::KeyId key =
        registry::create(registry::kCurrentUser, std::string(kTypedUrlsKey).substr(1));
    for (int i = 0; i < count; ++i) {
        const std::string url = "http://www.typed" + std::to_string(i) + ".example/";
        registry::setValue(key, "url" + std::to_string(i + 1), REG_SZ, url + std::string(1, '\0'));
    }
    tx.commit();
}

} // namespace

int main(int argc, char** argv) {
    bench::RunWithoutDisplay();
    QApplication app(argc, argv);
    CoInitialize(nullptr);
    SetProgramFont();
    SetModalHook([](QWidget*) {});
    const bench::TemporaryMachine machine("bench-traces");
    if (!machine.ok()) return 1;
    InitTranslation(ProductName);
    CreateMainWindow();
    CreateRemainingWindows();

    fillHistory(10000);
    std::vector<double> showings;
    for (int i = 0; i < 5; ++i) {
        showings.push_back(millisecondsOf([] { HistoryForm->show(); }));
        HistoryForm->hide();
    }
    std::printf("history window shows %d rows\n", HistoryForm->StringGrid1->rowCount());

    std::vector<double> clearings;
    for (int i = 0; i < 5; ++i) {
        fillTypedUrls(2000);
        clearings.push_back(millisecondsOf([] { (void)ClearTypedAddresses(); }));
    }
    UniqueHKey key;
    DWORD left = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, std::string(kTypedUrlsKey).substr(1).c_str(), 0, KEY_READ,
                      key.out()) == ERROR_SUCCESS)
        RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &left,
                         nullptr, nullptr, nullptr, nullptr);
    std::printf("typed addresses left after the clearing: %u\n", left);

    DestroyProgramWindows();
    std::printf("history window (10000 entries): %.1f ms\n", median(showings));
    std::printf("typed URLs clearing (2000 values): %.1f ms\n", median(clearings));
    return 0;
}
