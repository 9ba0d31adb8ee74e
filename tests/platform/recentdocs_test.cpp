// SHAddToRecentDocs: emptying the shell's list of recent documents.
#include "conformance.h"
#include "support/platform_fixture.h"
#include "support/wine.h"

#include <algorithm>

using namespace conformance;

namespace {

const char* const kRecentDocs =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

class SHAddToRecentDocsTest : public testing_support::PlatformTest {
  protected:
    // The user's Recent folder, where the shell keeps its shortcuts to recent documents.
    const std::string kRecent =
        platform.profile() + "\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
    std::string at(const std::string& below) const { return platform.profile() + "\\" + below; }

    void file(const std::string& name, DWORD attributes = 0) {
        const std::string path = kRecent + "\\" + name;
        ASSERT_TRUE(WriteWholeFile(path, "L")) << name;
        if (attributes) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << name;
        }
    }
    // The names in the Recent folder, "." and ".." left out, folders marked with a slash.
    std::vector<std::string> listing(std::string folder = {}) {
        if (folder.empty()) folder = kRecent;
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        const UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
        if (!find.valid()) return names;
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            names.push_back(name + (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "/" : ""));
        } while (FindNextFileA(find.get(), &found));
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(SHAddToRecentDocsTest, NoPathDeletesTheShortcutsAndTheRegistryListOnly) {
    SKIP_ON_WINE("SHAddToRecentDocs without a path empties nothing: the shortcuts and the "
                 "RecentDocs values stay");
    file("Brief.doc.lnk");
    file("FOTO.JPG.LNK", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    file("desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    file("Notes.txt");
    file("archive.lnk.bak");
    ASSERT_TRUE(CreateDirectoryA((kRecent + "\\Old").c_str(), nullptr));
    file("Old\\inside.lnk");
    ASSERT_TRUE(CreateDirectoryA((kRecent + "\\folder.lnk").c_str(), nullptr));
    {
        Key docs;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kRecentDocs, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, docs.out(), nullptr));
        const BYTE item[] = {'B', 0, 'r', 0, 0, 0};
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(docs.get(), "0", 0, REG_BINARY, item, 6));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(docs.get(), "1", 0, REG_BINARY, item, 6));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(docs.get(), "MRUListEx", 0, REG_BINARY, item, 6));
        Key byType;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(docs.get(), ".doc", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, byType.out(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, setString(byType.get(), "0", "Brief.doc"));
    }

    junkLastError();
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    EXPECT_EQ(kJunkError, GetLastError());

    EXPECT_EQ((std::vector<std::string>{"Notes.txt", "Old/", "archive.lnk.bak", "desktop.ini",
                                        "folder.lnk/"}),
              listing());
    EXPECT_EQ(std::vector<std::string>{"inside.lnk"}, listing(kRecent + "\\Old"));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
              GetFileAttributesA((kRecent + "\\desktop.ini").c_str()) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    Key docs;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kRecentDocs, 0, KEY_READ, docs.out()));
    EXPECT_TRUE(valueNames(docs.get()).empty());
    Key byType;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(docs.get(), ".doc", 0, KEY_READ, byType.out()));
    EXPECT_EQ(std::vector<std::string>{"0"}, valueNames(byType.get()));

    // Nothing left to do is no failure either.
    junkLastError();
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    EXPECT_EQ(kJunkError, GetLastError());
}

TEST_F(SHAddToRecentDocsTest, AReadOnlyShortcutStaysAndTheRestGoes) {
    SKIP_ON_WINE("SHAddToRecentDocs without a path empties nothing: the shortcuts and the "
                 "RecentDocs values stay");
    file("a.lnk");
    file("b.lnk", FILE_ATTRIBUTE_READONLY);
    file("c.lnk");
    SHAddToRecentDocs(SHARD_PATHW, nullptr);
    EXPECT_EQ(std::vector<std::string>{"b.lnk"}, listing());
}

TEST_F(SHAddToRecentDocsTest, APathAddsALinkToTheDocumentOnce) {
    file("kept.lnk");
    ASSERT_TRUE(WriteWholeFile(at("Documents\\Brief.doc"), "text"));
    ASSERT_TRUE(WriteWholeFile(at("Documents\\Foto.jpg"), "JPEG"));
    SHAddToRecentDocs(SHARD_PATHA, at("Documents\\Brief.doc").c_str());
    SHAddToRecentDocs(SHARD_PATHA, at("Documents\\Foto.jpg").c_str());
    SHAddToRecentDocs(SHARD_PATHA, AnsiUpperCase(at("Documents\\Brief.doc")).c_str());
    // One link per document, named after it (in either spelling of the name).
    auto names = listing();
    for (auto& name : names)
        name = AnsiLowerCase(name);
    EXPECT_EQ((std::vector<std::string>{"brief.doc.lnk", "foto.jpg.lnk", "kept.lnk"}), names);

    // The link leads to the document.
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kRecent + "\\Brief.doc.lnk").c_str(), STGM_READ));
    char target[MAX_PATH];
    EXPECT_EQ(S_OK, link->GetPath(target, sizeof target, nullptr, 0));
    EXPECT_TRUE(AnsiSameText(at("Documents\\Brief.doc"), target)) << target;
    persist->Release();
    link->Release();
}
