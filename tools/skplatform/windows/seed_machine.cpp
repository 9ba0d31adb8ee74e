// seed-machine.exe: the traces of a lived-in Windows machine that the Windows build of the
// runner cleans under Wine (scripts/windows-check.sh), written by the machine's own calls:
// three recent documents through the shell, and today's Firefox and Chrome with their
// databases in the browsers' schemas. The typed addresses and the Run list are the script's,
// through Wine's registry tool.
#include "browser_seed.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

} // namespace

int main() {
    try {
        const std::string documents = environment("USERPROFILE") + "\\Documents\\";
        CreateDirectoryA(documents.c_str(), nullptr);
        for (const char* name : {"Brief.doc", "Liste.txt", "Foto.jpg"}) {
            const std::string path = documents + name;
            std::ofstream(path, std::ios::binary) << "data";
            SHAddToRecentDocs(SHARD_PATHA, path.c_str());
        }

        const browser_seed::Sizes sizes{.places = 40,
                                        .visits = 160,
                                        .bookmarks = 10,
                                        .cookies = 30,
                                        .sites = 10,
                                        .cacheFiles = 20,
                                        .formEntries = 5};
        const std::string roaming = environment("APPDATA");
        const std::string local = environment("LOCALAPPDATA");
        const std::string firefox = "k3v9x2lq.default-release";
        browser_seed::firefoxProfile(roaming + "\\Mozilla\\Firefox\\Profiles\\" + firefox,
                                     local + "\\Mozilla\\Firefox\\Profiles\\" + firefox, sizes);
        browser_seed::firefoxProfilesIni(roaming + "\\Mozilla\\Firefox", {firefox});
        const std::string chrome = local + "\\Google\\Chrome\\User Data";
        browser_seed::chromeProfile(chrome + "\\Default", sizes);
        browser_seed::chromeLocalState(chrome, {"Default"});
    } catch (const std::exception& e) {
        std::fprintf(stderr, "seed-machine: %s\n", e.what());
        return 1;
    }
    return 0;
}
