// Times the favorites list over a folder of 5 000 internet shortcuts, offscreen: ShowFolder
// (bind, enumerate, names, the channel test of every item, the shell's sort) plus painting
// the first screen of rows with their icons, median of 5. Counts the icon look-ups, which
// must not exceed the rows in view.
#include "bench_support.h"
#include "favorites/FavoritesListView.h"
#include "platform/gui/application.h"
#include "platform/gui/icons.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "ui/FormBase.h"

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

int rowsInView(const TCustomFavoritesListView& list) {
    int visible = 0;
    for (int row = 0; row < list.ItemCount(); ++row)
        if (list.visualRect(list.model()->index(row, 0)).intersects(list.viewport()->rect()))
            ++visible;
    return visible;
}

} // namespace

int main(int argc, char** argv) {
    bench::RunWithoutDisplay();
    HostedApplication app(argc, argv);
    SetProgramFont();
    SetModalHook([](QWidget*) {});
    const bench::TemporaryMachine machine("bench-favorites");
    if (!machine.ok()) return 1;

    constexpr int kItems = 5000;
    const std::string favorites = "C:\\Users\\User\\Favorites\\";
    for (int i = 0; i < kItems; ++i) {
        const std::string name = "Seite " + std::to_string(i) + ".url";
        WriteWholeFile(favorites + name, "[InternetShortcut]\r\nURL=http://www.site" +
                                             std::to_string(i % 700) + ".example/page" +
                                             std::to_string(i) + ".html\r\n");
    }

    std::vector<double> times;
    int lookups = 0;
    int inView = 0;
    int rows = 0;
    {
        // The list as the favorites page shows it.
        TFavoritesListView list(nullptr);
        list.resize(272, 226);
        list.Loaded();
        list.show();
        list.viewport()->repaint();
        PidlRef root;
        SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, root.put());
        const int iconsBefore = LiveIconCount() - rowsInView(list);
        for (int run = 0; run < 5; ++run) {
            times.push_back(millisecondsOf([&] {
                list.ShowFolder(root.get());
                list.viewport()->repaint();
            }));
            std::printf("run %d: %.1f ms\n", run + 1, times.back());
        }
        // The records hold the icons their visit looked up.
        lookups = LiveIconCount() - iconsBefore;
        inView = rowsInView(list);
        rows = list.ItemCount();
    }

    std::printf("rows listed: %d\n", rows);
    std::printf("icon look-ups in the last visit: %d for %d rows in view\n", lookups, inView);
    std::printf("favorites folder (%d items): %.1f ms\n", kItems, median(times));
    return lookups <= inView && rows == kItems ? 0 : 1;
}
