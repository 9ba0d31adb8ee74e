// Times the translation engine's load of language files of growing size, each of short lines
// in one long section (what a large or damaged file in the data folder looks like), and
// checks that the text loaded is the one the file holds. Runs in a temporary platform root.
#include "lang/TQwTrans2.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// About `bytes` of short lines (8 bytes and so) in section 1, ending with [END].
std::string languageFile(std::size_t bytes, std::string& expectedText1) {
    std::string file = "[0]\r\nBENCH\r\n";
    int lines = 0;
    std::string current;
    file += "[1]\r\n";
    while (file.size() < bytes) {
        const std::string line = "Z" + std::to_string(lines);
        file += line + "\r\n";
        current += (current.empty() ? "" : "\r") + line;
        ++lines;
    }
    file += "[END]\r\n";
    expectedText1 = current;
    return file;
}

} // namespace

int main() {
    std::string base = (std::filesystem::temp_directory_path() / "bench-lang-XXXXXX").string();
    if (!mkdtemp(base.data())) return 1;
    platform::useRoot(platform::HostPath(base));
    CreateDirectoryA("C:\\Lang", nullptr);

    double largest = 0;
    std::size_t largestBytes = 0;
    for (std::size_t kb : {240, 1024, 1950}) {
        std::string expected;
        const std::string contents = languageFile(kb * 1024, expected);
        const std::string path = "C:\\Lang\\Surfkolibri.t0" + std::to_string(kb);
        WriteWholeFile(path, contents);
        QwTrans2 engine("Surfkolibri");
        const auto start = Clock::now();
        engine.LoadTextFile(path);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const bool same = engine.GetText(1) == expected && engine.GetText(0) == "BENCH";
        std::printf("%zu KB language file: loaded in %.1f ms%s\n", contents.size() / 1024, ms,
                    same ? "" : " (TEXTS DIFFER)");
        largest = ms;
        largestBytes = contents.size();
    }
    platform::closeRoot();
    std::filesystem::remove_all(base);
    std::printf("language file load (%zu KB): %.1f ms (goal: well under 1000 ms)\n",
                largestBytes / 1024, largest);
    return 0;
}
