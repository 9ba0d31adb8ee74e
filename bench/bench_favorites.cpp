// Times the favorites list over a folder of 5 000 internet shortcuts, offscreen: ShowFolder
// (bind, enumerate, names, the channel test of every item, the shell's sort) plus painting
// the first screen of rows with their icons, median of 5. Counts the icon look-ups, which
// must not exceed the rows in view.
#include "favorites/FavoritesListView.h"
#include "favorites/ShellRefs.h"
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

using Clock = std::chrono::steady_clock;

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

int rowsInView(const TCustomFavoritesListView& list) {
    int visible = 0;
    for (int row = 0; row < list.ItemCount(); ++row)
        if (list.visualRect(list.model()->index(row, 0)).intersects(list.viewport()->rect()))
            ++visible;
    return visible;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setenv("SURFKOLIBRI_SHELL_EXECUTE", "record", 1);
    HostedApplication app(argc, argv);
    SetProgramFont();
    SetModalHook([](QWidget*) {});
    std::string base = (std::filesystem::temp_directory_path() / "bench-favorites-XXXXXX").string();
    if (!mkdtemp(base.data())) return 1;
    platform::useRoot(base);

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
            const auto start = Clock::now();
            list.ShowFolder(root.get());
            list.viewport()->repaint();
            times.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            std::printf("run %d: %.1f ms\n", run + 1, times.back());
        }
        // The records hold the icons their visit looked up.
        lookups = LiveIconCount() - iconsBefore;
        inView = rowsInView(list);
        rows = list.ItemCount();
    }

    platform::closeRoot();
    std::filesystem::remove_all(base);
    std::printf("rows listed: %d\n", rows);
    std::printf("icon look-ups in the last visit: %d for %d rows in view\n", lookups, inView);
    std::printf("favorites folder (%d items): %.1f ms\n", kItems, median(times));
    return lookups <= inView && rows == kItems ? 0 : 1;
}
