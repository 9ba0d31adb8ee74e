// seed-demo: the registry values and folders of a machine that has been surfed on for a while.
// Every step writes fixed contents, so running it again leaves the same machine.
#include "commands.h"

#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <cstdio>
#include <stdexcept>

namespace skplatform {
namespace {

namespace registry = platform::registry;

constexpr registry::KeyId kCurrentUser = registry::kCurrentUser;

const char* const kInternetExplorer = "Software\\Microsoft\\Internet Explorer";
const char* const kShellFolders = platform::kShellFoldersKey;

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

void setString(const std::string& keyPath, const std::string& name, const std::string& text) {
    registry::setValue(registry::create(kCurrentUser, keyPath), name, REG_SZ, sz(text));
}

std::string shellFolder(const char* name) {
    registry::Value value;
    const registry::KeyId key = registry::find(kCurrentUser, kShellFolders);
    if (key == registry::kNoKey || !registry::getValue(key, name, value))
        throw std::runtime_error(std::string("the Shell Folders value '") + name + "' is missing");
    return value.data.substr(0, value.data.find('\0'));
}

void makeFolders(const std::string& windowsPath) {
    for (std::size_t pos = windowsPath.find('\\', 3);; pos = windowsPath.find('\\', pos + 1)) {
        const std::string prefix = windowsPath.substr(0, pos);
        if (!DirectoryExistsA(prefix) && !CreateDirectoryA(prefix.c_str(), nullptr))
            throw std::runtime_error("cannot create the folder " + prefix + " (error " +
                                     std::to_string(GetLastError()) + ")");
        if (pos == std::string::npos) break;
    }
}

void writeFile(const std::string& folder, const std::string& name, const std::string& contents) {
    makeFolders(folder);
    const std::string path = folder + "\\" + name;
    if (!WriteWholeFile(path, contents))
        throw std::runtime_error("cannot write " + path + " (error " +
                                 std::to_string(GetLastError()) + ")");
}

void setAttributes(const std::string& path, DWORD attributes) {
    if (!SetFileAttributesA(path.c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + path + " (error " +
                                 std::to_string(GetLastError()) + ")");
}

std::string internetShortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

void seedBrowserSettings(const std::string& user) {
    const std::string ie = kInternetExplorer;
    const std::string main = ie + "\\Main";
    setString(main, "Start Page", "http://www.surfkolibri-demo.de/start.html");
    setString(main, "Default_Page_URL", "http://www.surfkolibri-demo.de/start.html");
    setString(main, "FormSuggest Passwords", "yes");
    setString(main, "Use FormSuggest", "yes");
    setString(main, "NotifyDownloadComplete", "yes");
    setString(main, "Print_Background", "no");
    const std::string downloads = "C:\\Users\\" + user + "\\Downloads";
    makeFolders(downloads);
    setString(ie, "Download Directory", downloads);
    setString(ie + "\\Default HTML Editor\\shell\\edit\\command", "",
              "C:\\Windows\\notepad.exe %1");
    // The editor named there, and another one to choose instead.
    writeFile("C:\\Windows", "notepad.exe", "MZ");
    writeFile("C:\\Program Files\\Kolibri HTML Editor", "khtml.exe", "MZ");
    setString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete", "AutoSuggest",
              "yes");
}

void seedTypedUrls() {
    const char* const urls[] = {
        "http://www.wetter-nord.de/",
        "http://www.bahnauskunft.example/",
        "http://www.stadtbibliothek.example/",
        "http://www.tageblatt.example/lokal/",
        "http://www.reiseportal.example/",
        "www.kochrezepte.example",
        "http://www.fotoforum.example/",
        "http://www.onlinebanking.example/",
        "http://www.auktionshaus.example/",
        "http://www.lexikon.example/wiki/Kolibri",
        "ftp://ftp.treiber.example/pub/",
        "http://localhost:8080/",
        "http://www.fahrplan-kiel.example/",
        "http://www.gebrauchtwagen.example/suche?marke=vw",
        "http://www.sportverein-holtenau.example/termine.html",
    };
    const std::string key = std::string(kInternetExplorer) + "\\TypedURLs";
    for (std::size_t i = 0; i < std::size(urls); ++i)
        setString(key, "url" + std::to_string(i + 1), urls[i]);
    // Values that other programs wrote under names of their own.
    setString(key, "Suchleiste", "http://www.suchmaschine.example/?q=kolibri+futter");
    setString(key, "LetzteEingabe", "www.ostsee-ferien.example");
}

void seedRunMru() {
    // Each entry ends in "\1", which the Run box keeps after the command.
    const char* const commands[] = {
        "notepad\\1",
        "cmd\\1",
        "regedit\\1",
        "calc\\1",
        "mspaint\\1",
        "msconfig\\1",
        "C:\\Windows\\win.ini\\1",
        "\\\\fileserver\\fotos\\1",
        "control\\1",
        "http://www.wetter-nord.de/\\1",
    };
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
    for (std::size_t i = 0; i < std::size(commands); ++i)
        setString(key, std::string(1, static_cast<char>('a' + i)), commands[i]);
    setString(key, "MRUList", "jihgfedcba");
}

// Documents the user worked on: the Recent folder's shell links to them and the shell's
// RecentDocs list, both written as the shell writes them when a document is opened.
void seedRecent() {
    const std::string recent = shellFolder("Recent");
    const std::string documentsFolder = shellFolder("Personal");
    const char* const documents[] = {
        "Bewerbung.doc",
        "Urlaub Ostsee.jpg",
        "Kontoauszug M\xE4rz.pdf",
        "Einkaufsliste.txt",
        "Steuererkl\xE4rung.xls",
        "Fotos",
        "Geburtstag.ppt",
        "Rezept Apfelkuchen.doc",
        "Mietvertrag.pdf",
        "Vereinsfest.jpg",
        "Notizen.txt",
        "Lebenslauf.doc",
    };
    makeFolders(recent);
    auto addRecent = [&](const std::string& document) {
        const std::string path = documentsFolder + "\\" + document;
        if (document.find('.') == std::string::npos)
            makeFolders(path);
        else
            writeFile(documentsFolder, document, "Inhalt von " + document + "\r\n");
        SHAddToRecentDocs(SHARD_PATHA, path.c_str());
        if (!FileExistsA(recent + "\\" + document + ".lnk"))
            throw std::runtime_error("cannot write the recent link to " + path);
    };
    for (const char* document : documents)
        addRecent(document);
    // One the user hid, the folder's own settings file, and a folder of the shell's own.
    addRecent("Tagebuch.txt");
    setAttributes(recent + "\\Tagebuch.txt.lnk", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    writeFile(recent, "DESKTOP.INI",
              "[.ShellClassInfo]\r\nLocalizedResourceName=@%SystemRoot%\\system32\\shell32.dll,"
              "-21797\r\n");
    setAttributes(recent + "\\DESKTOP.INI", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    writeFile(recent + "\\CustomDestinations", "5f7b5f1e01b83767.customDestinations-ms",
              std::string(32, '\0'));
}

struct Favorite {
    const char* folder; // below Favorites, empty for the top level
    const char* name;
    const char* url;
};

const Favorite kFavorites[] = {
    {"", "Startseite", "http://www.surfkolibri-demo.de/start.html"},
    {"", "Wetter", "http://www.wetter-nord.de/"},
    {"", "Online-Banking", "https://www.onlinebanking.example/login"},
    {"", "Kochrezepte", "http://www.kochrezepte.example/"},
    {"", "Stadtbibliothek", "http://www.stadtbibliothek.example/katalog"},
    {"Links", "Kostenlose Hotmail", "http://www.mailer.example/"},
    {"Links", "Links anpassen", "http://www.links.example/anpassen"},
    {"Links", "Windows Update", "http://update.example/windowsupdate/"},
    {"News", "Tageblatt", "http://www.tageblatt.example/"},
    {"News", "Nachrichten f\xFCr Kinder", "http://www.kindernachrichten.example/"},
    {"News", "B\xF6rse aktuell", "http://www.boerse.example/kurse"},
    {"News", "Lokales", "http://www.tageblatt.example/lokal/"},
    {"Reisen", "Bahnauskunft", "http://www.bahnauskunft.example/"},
    {"Reisen", "Ferienh\xE4user an der Ostsee", "http://www.ostsee-ferien.example/"},
    {"Reisen", "Stadtplan", "http://www.stadtplan.example/?ort=Kiel"},
    {"Reisen\\Ostsee", "F\xE4hren nach D\xE4nemark", "http://www.faehren.example/fahrplan"},
    {"Reisen\\Ostsee", "Strandwetter", "http://www.wetter-nord.de/strand"},
    {"Technik", "Treiber-Archiv", "ftp://ftp.treiber.example/pub/"},
    {"Technik", "Computer-Magazin", "http://www.computer-magazin.example/"},
    {"Technik", "Programmierforum", "http://forum.programmieren.example/"},
    {"Technik\\Hardware", "Grafikkarten im Test", "http://www.computer-magazin.example/grafik"},
    {"Technik\\Hardware", "Drucker-Treiber", "http://www.drucker.example/treiber"},
    {"Technik\\Hardware", "Speicher aufr\xFCsten", "http://www.speicher.example/"},
    {"Technik\\Hardware\\Alt", "Diskettenlaufwerke", "http://www.retro.example/disketten"},
    {"Einkaufen", "Auktionshaus", "http://www.auktionshaus.example/"},
    {"Einkaufen", "Buchladen", "http://www.buchladen.example/"},
};

void seedFavorites() {
    const std::string root = shellFolder("Favorites");
    for (const auto& f : kFavorites) {
        const std::string folder = *f.folder ? root + "\\" + f.folder : root;
        writeFile(folder, std::string(f.name) + ".url", internetShortcut(f.url));
    }
    // Files as other programs left them: a section name in lower case, extra keys.
    writeFile(root + "\\Links", "Suchmaschine.url",
              "[internetshortcut]\nurl=http://www.suche.example/\n");
    writeFile(root + "\\News", "Radio.url",
              "[DEFAULT]\r\nBASEURL=http://www.radio-nord.example/\r\n[InternetShortcut]\r\n"
              "URL=http://www.radio-nord.example/live\r\nIconFile=http://www.radio-nord.example/"
              "favicon.ico\r\nIconIndex=1\r\nModified=20F06BA06D07BD014D\r\nHotKey=0\r\n");
    // One the user hid.
    writeFile(root, "Geheimtipp.url", internetShortcut("http://www.geheimtipp.example/"));
    const std::string hidden = root + "\\Geheimtipp.url";
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);

    // A shell link to a document on C:.
    const std::string list = shellFolder("Personal") + "\\Einkaufsliste.txt";
    if (!FileExistsA(list)) writeFile(shellFolder("Personal"), "Einkaufsliste.txt", "Milch\r\n");
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath(list.c_str());
        link->SetDescription("Was noch fehlt");
        link->SetWorkingDirectory(shellFolder("Personal").c_str());
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            file->Save(AnsiToWide(root + "\\Einkaufsliste.lnk").c_str(), TRUE);
            file->Release();
        }
        link->Release();
    }
    if (!FileExistsA(root + "\\Einkaufsliste.lnk"))
        throw std::runtime_error("cannot write the favorite link Einkaufsliste.lnk");

    // A channel: a system folder whose desktop.ini names the channel shortcut class.
    UniqueHKey key;
    const bool channelType = RegOpenKeyExA(HKEY_CLASSES_ROOT, "ChannelShortcut", 0, KEY_QUERY_VALUE,
                                           key.out()) == ERROR_SUCCESS;
    if (channelType) {
        const std::string channel = root + "\\Kanal Wetter";
        writeFile(channel, "desktop.ini",
                  "[.ShellClassInfo]\r\nCLSID2={2237021C-E9A7-4940-8A4A-5E9E314E7ED8}\r\n"
                  "[Channel]\r\nCDFURL=http://www.wetter-nord.de/kanal.cdf\r\n");
        SetFileAttributesA(channel.c_str(), FILE_ATTRIBUTE_SYSTEM);
    }
}

const char* const kCookiesTxt =
    "# HTTP Cookie File\n"
    "# This is a generated file!  Do not edit.\n\n"
    ".tageblatt.example\tTRUE\t/\tFALSE\t1893456000\tsession\t5f3a9c01\n"
    ".auktionshaus.example\tTRUE\t/\tFALSE\t1893456000\tuser\tgast\n"
    "www.wetter-nord.de\tFALSE\t/\tFALSE\t1893456000\tort\tKiel\n";

const char* const kHistoryDat =
    "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n"
    "< <(a=c)> // (f=iso-8859-1)\n"
    "  (8A=Typed)(8B=LastPageVisited)(8C=ByteOrder)\n"
    "  (80=ns:msg:db:row:scope:history:all)(81=URL)(82=Name)(83=LastVisitDate)>\n"
    "<(80=LE)(81=http://www.tageblatt.example/)(82=Tageblatt)>\n"
    "{1:^80 {(k^81:c)(s=9)} [1(^81^81)(^82^82)]}\n";

// A browser's cache folder as it fills over weeks of surfing: `count` files of a few hundred
// bytes each, named the browser's way.
void seedCacheFiles(const std::string& folder, int count, const std::string& prefix,
                    const std::string& suffix) {
    makeFolders(folder);
    for (int i = 0; i < count; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%05X", 0x1A2B + i * 37);
        const std::string path = folder + "\\" + prefix + number + suffix;
        const std::string page = "<html><head><title>Seite " + std::to_string(i) +
                                 "</title></head><body>" + std::string(200 + i % 300, 'x') +
                                 "</body></html>\n";
        if (!WriteWholeFile(path, page))
            throw std::runtime_error("cannot write " + path + " (error " +
                                     std::to_string(GetLastError()) + ")");
    }
}

// Cache, cookies and history where each browser keeps them in its profile folder.
void seedOtherBrowsers() {
    const std::string appData = shellFolder("AppData");
    const std::string localAppData = shellFolder("Local AppData");

    const std::string opera = appData + "\\Opera\\opera\\profile";
    writeFile(opera + "\\cache4", "dcache4.url", std::string("\x00\x00\x00\x02", 4));
    for (int i = 1; i <= 4; ++i)
        writeFile(opera + "\\cache4", "opr0000" + std::to_string(i) + ".tmp",
                  "<html><body>Seite " + std::to_string(i) + "</body></html>\n");
    writeFile(opera, "cookies4.dat",
              std::string("\x00\x00\x10\x00\x00\x00\x20\x00\x00\x02\x00\x01", 12));
    writeFile(opera, "global.dat",
              "Tageblatt\nhttp://www.tageblatt.example/\n1199145600\n-1\n"
              "Wetter\nhttp://www.wetter-nord.de/\n1199232000\n-1\n");
    seedCacheFiles(opera + "\\cache4", 220, "opr", ".tmp");
    writeFile(opera, "opera6.ini", "Opera Preferences version 2.0\r\n\r\n[User Prefs]\r\n");
    const std::string operaInstall = "C:\\Program Files\\Opera";
    writeFile(operaInstall + "\\profile", "opera6.ini",
              "Opera Preferences version 2.0\r\n\r\n[User Prefs]\r\n");
    setString("Software\\Opera Software", "Last Directory3", operaInstall);

    const std::string profile = "k3v9x2lq.default";
    const std::string firefox = appData + "\\Mozilla\\Firefox";
    writeFile(firefox, "profiles.ini",
              "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\n"
              "IsRelative=1\r\nPath=Profiles/" +
                  profile + "\r\n");
    const std::string roaming = firefox + "\\Profiles\\" + profile;
    writeFile(roaming, "cookies.txt", kCookiesTxt);
    writeFile(roaming, "history.dat", kHistoryDat);
    writeFile(roaming, "prefs.js",
              "user_pref(\"browser.startup.homepage\", "
              "\"http://www.surfkolibri-demo.de/\");\n");
    writeFile(roaming + "\\Cache", "_CACHE_MAP_", std::string(64, '\0'));
    const std::string local = localAppData + "\\Mozilla\\Firefox\\Profiles\\" + profile;
    writeFile(local + "\\Cache", "_CACHE_MAP_", std::string(64, '\0'));
    writeFile(local + "\\Cache", "_CACHE_001_", std::string(256, '\x5A'));
    writeFile(local + "\\Cache", "4A1C3E07d01", "<html><body>Bahnauskunft</body></html>\n");
    seedCacheFiles(local + "\\Cache\\0", 120, "", "d01");
    seedCacheFiles(local + "\\Cache\\7", 100, "", "d01");
    seedCacheFiles(roaming + "\\Cache", 12, "", "d01");

    const std::string mozilla = appData + "\\Mozilla\\Profiles\\default";
    writeFile(mozilla, "cookies.txt", kCookiesTxt);
    writeFile(mozilla, "history.dat", kHistoryDat);
    writeFile(mozilla, "prefs.js", "user_pref(\"browser.startup.page\", 1);\n");
    writeFile(mozilla + "\\Cache", "_CACHE_MAP_", std::string(64, '\0'));
    writeFile(mozilla + "\\Cache", "_CACHE_002_", std::string(128, '\x33'));
    seedCacheFiles(mozilla + "\\Cache", 210, "", "d01");
}

} // namespace

int runSeedDemo(const Args& args) {
    if (wantsHelp(args)) {
        std::printf(
            "usage: skplatform seed-demo\n\n"
            "Fills the root with a lived-in machine: Internet Explorer settings, typed\n"
            "addresses, the Run list, recent documents (shell links in the Recent folder),\n"
            "favorites (folders, Internet shortcuts, a hidden one, a shell link, a channel),\n"
            "the profiles of Opera, Firefox (roaming and local) and Mozilla with full cache\n"
            "folders, cookie and history files, today's Firefox (two profiles), Chrome\n"
            "(Default and Profile 1) and Edge with their databases, bookmarks, passwords and\n"
            "caches, the Startup folders of the user and of all\n"
            "users, and the URL cache with cookies and history. Existing demo values and files are "
            "written again, so running it twice\n"
            "changes nothing.\n\n"
            "  --large  adds 50 000 pages to the URL cache and gives the browsers' databases\n"
            "           tens of thousands of rows (for crash and load checks)\n");
        return 0;
    }
    const bool large = args.size() == 1 && args[0] == "--large";
    if (!args.empty() && !large) {
        std::fprintf(stderr, "skplatform seed-demo: unexpected argument '%s'\n", args[0].c_str());
        return 2;
    }
    platform::createDefaultMachine();
    {
        platform::Transaction tx;
        const std::string user = platform::userName();
        seedBrowserSettings(user);
        seedTypedUrls();
        seedRunMru();
        seedRecent();
        seedFavorites();
        seedOtherBrowsers();
        tx.commit();
    }
    seedDemoCache();
    if (large) seedManyPages(50000);
    seedDemoBrowsers(large);
    std::printf("seeded %s\n", platform::rootPath().c_str());
    return 0;
}

} // namespace skplatform
