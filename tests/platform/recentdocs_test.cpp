// SHAddToRecentDocs: emptying the shell's list of recent documents.
#include "conformance.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

#include <algorithm>

using namespace conformance;

namespace {

const char* const kRecent = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
const char* const kRecentDocs =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class SHAddToRecentDocsTest : public testing_support::PlatformTest {
  protected:
    void file(const std::string& name, DWORD attributes = 0) {
        const std::string path = std::string(kRecent) + "\\" + name;
        ASSERT_TRUE(WriteWholeFile(path, "L")) << name;
        if (attributes) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << name;
        }
    }
    // The names in the Recent folder, "." and ".." left out, folders marked with a slash.
    std::vector<std::string> listing(const std::string& folder = kRecent) {
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
    file("Brief.doc.lnk");
    file("FOTO.JPG.LNK", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    file("desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    file("Notes.txt");
    file("archive.lnk.bak");
    ASSERT_TRUE(CreateDirectoryA((std::string(kRecent) + "\\Old").c_str(), nullptr));
    file("Old\\inside.lnk");
    ASSERT_TRUE(CreateDirectoryA((std::string(kRecent) + "\\folder.lnk").c_str(), nullptr));
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
    EXPECT_EQ(std::vector<std::string>{"inside.lnk"}, listing(std::string(kRecent) + "\\Old"));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
              GetFileAttributesA((std::string(kRecent) + "\\desktop.ini").c_str()) &
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
    file("a.lnk");
    file("b.lnk", FILE_ATTRIBUTE_READONLY);
    file("c.lnk");
    SHAddToRecentDocs(SHARD_PATHW, nullptr);
    EXPECT_EQ(std::vector<std::string>{"b.lnk"}, listing());
}

TEST_F(SHAddToRecentDocsTest, TheFolderIsTheOneTheShellFoldersValueNames) {
    const std::string elsewhere = "C:\\Users\\User\\Elsewhere";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(elsewhere + "\\moved.lnk", "L"));
    file("stays.lnk");
    Key folders;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, folders.out()));
    ASSERT_EQ(ERROR_SUCCESS, setString(folders.get(), "Recent", elsewhere + "\\"));
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    EXPECT_FALSE(FileExistsA(elsewhere + "\\moved.lnk"));
    EXPECT_EQ(std::vector<std::string>{"stays.lnk"}, listing());

    // A value that names no folder leaves everything as it was; without the value the
    // shell's folder is the fresh machine's.
    ASSERT_EQ(ERROR_SUCCESS, setString(folders.get(), "Recent", "C:\\Nowhere"));
    junkLastError();
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    EXPECT_EQ(kJunkError, GetLastError());
    EXPECT_EQ(std::vector<std::string>{"stays.lnk"}, listing());
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(folders.get(), "Recent"));
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
    EXPECT_TRUE(listing().empty());
}

TEST_F(SHAddToRecentDocsTest, APathAddsALinkAndPutsTheNameFirstInTheList) {
    file("kept.lnk");
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Brief.doc", "text"));
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Foto.jpg", "JPEG"));
    junkLastError();
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\Brief.doc");
    EXPECT_EQ(kJunkError, GetLastError());
    SHAddToRecentDocs(SHARD_PATHW, u"C:\\Users\\User\\Documents\\Foto.jpg");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\BRIEF.DOC");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\missing.txt");
    EXPECT_EQ((std::vector<std::string>{"Brief.doc.lnk", "Foto.jpg.lnk", "kept.lnk"}), listing());

    // The registry list: one value per document, the newest first in MRUListEx.
    Key docs;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kRecentDocs, 0, KEY_QUERY_VALUE, docs.out()));
    EXPECT_EQ((std::vector<std::string>{"0", "MRUListEx", "1"}), valueNames(docs.get()));
    BYTE data[64];
    DWORD size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(docs.get(), "0", nullptr, nullptr, data, &size));
    EXPECT_EQ(std::string("B\0r\0i\0e\0f\0.\0d\0o\0c\0\0\0", 20),
              std::string(reinterpret_cast<char*>(data), size));
    size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(docs.get(), "MRUListEx", nullptr, nullptr, data, &size));
    EXPECT_EQ(std::string("\0\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF", 12),
              std::string(reinterpret_cast<char*>(data), size));

    // The link leads to the document.
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(std::string(kRecent) + "\\Brief.doc.lnk").c_str(),
                                  STGM_READ));
    char target[MAX_PATH];
    EXPECT_EQ(S_OK, link->GetPath(target, sizeof target, nullptr, 0));
    EXPECT_STREQ("C:\\Users\\User\\Documents\\Brief.doc", target);
    persist->Release();
    link->Release();

    junkLastError();
    SHAddToRecentDocs(0x99, nullptr);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}
