// The hosted shell's recent documents: the folder is the one the Shell Folders value names,
// as the program reads it; a wide path and a document that is not there.
#include "conformance.h"
#include "platform/root.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"

#include <algorithm>

using namespace conformance;

namespace {

const char* const kRecent = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> listing(const std::string& folder = kRecent) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    if (!find.valid()) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

using SHAddToRecentDocsHostedTest = testing_support::PlatformTest;

void file(const std::string& name,
          const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    ASSERT_TRUE(WriteWholeFile(std::string(kRecent) + "\\" + name, "L")) << name;
}

} // namespace

TEST_F(SHAddToRecentDocsHostedTest, TheFolderIsTheOneTheShellFoldersValueNames) {
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

TEST_F(SHAddToRecentDocsHostedTest, AWidePathAddsItsDocumentAndAMissingDocumentNothing) {
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Foto.jpg", "JPEG"));
    SHAddToRecentDocs(SHARD_PATHW, u"C:\\Users\\User\\Documents\\Foto.jpg");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\missing.txt");
    EXPECT_EQ(std::vector<std::string>{"Foto.jpg.lnk"}, listing());
}

// The registry list: one value per document, the newest first in MRUListEx; another flag is
// refused.
TEST_F(SHAddToRecentDocsHostedTest, APathPutsTheNameFirstInTheList) {
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Brief.doc", "text"));
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Foto.jpg", "JPEG"));
    junkLastError();
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\Brief.doc");
    EXPECT_EQ(kJunkError, GetLastError());
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\Foto.jpg");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\BRIEF.DOC");
    EXPECT_EQ((std::vector<std::string>{"Brief.doc.lnk", "Foto.jpg.lnk"}), listing());
    const char* const kRecentDocs =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
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

    junkLastError();
    SHAddToRecentDocs(0x99, nullptr);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}
