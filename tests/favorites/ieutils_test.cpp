// Where favorites lead, the internet shortcut file as the favorites read and write it, and the
// item identifier lists the favorites list walks with.
#include "favorites/IEUtils.h"
#include "favorites_files.h"
#include "platform/win32.h"
#include "support/wine.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace favorites_test;

namespace {

class IEUtilsTest : public testing_support::PlatformTest {
  protected:
    void SetUp() override { ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put())); }

    // The folder object of a Windows folder, and the single item of one of its entries.
    ComRef<IShellFolder> folderOf(const std::string& path) {
        PidlRef list(ILCreateFromPathA(path.c_str()));
        ComRef<IShellFolder> folder;
        EXPECT_EQ(S_OK, desktop->BindToObject(list.get(), nullptr, IID_IShellFolder, folder.out()))
            << path;
        return folder;
    }
    PidlRef childOf(const std::string& path) {
        PidlRef list(ILCreateFromPathA(path.c_str()));
        EXPECT_TRUE(list) << path;
        return PidlRef(ILCloneFirst(ILFindLastID(list.get())));
    }

    AllocationsBack allocations; // checked after the owners below are gone
    ComRef<IShellFolder> desktop;
};

// A list of items of the given sizes, each filled with its own byte.
PidlRef listOf(std::initializer_list<int> sizes) {
    UINT total = 2;
    for (int size : sizes)
        total += static_cast<UINT>(size);
    PidlRef list(AllocPIDL(total));
    auto* p = reinterpret_cast<BYTE*>(list.get());
    BYTE fill = 0x11;
    for (int size : sizes) {
        p[0] = static_cast<BYTE>(size & 0xFF);
        p[1] = static_cast<BYTE>(size >> 8);
        std::memset(p + 2, fill, static_cast<std::size_t>(size) - 2);
        fill = static_cast<BYTE>(fill + 0x11);
        p += size;
    }
    return list;
}

std::string bytesOf(LPCITEMIDLIST list) {
    return std::string(reinterpret_cast<const char*>(list), PIDLSize(list));
}

} // namespace

TEST_F(IEUtilsTest, ItemListsFollowTheirSizeWords) {
    EXPECT_EQ(0u, PIDLSize(nullptr));
    const PidlRef empty = listOf({});
    EXPECT_EQ(2u, PIDLSize(empty.get()));
    const PidlRef two = listOf({20, 30});
    EXPECT_EQ(52u, PIDLSize(two.get()));
    EXPECT_EQ(reinterpret_cast<BYTE*>(two.get()) + 20,
              reinterpret_cast<BYTE*>(NextPIDL(two.get())));

    // A new block is zero-filled, as big as asked.
    const PidlRef zeros(AllocPIDL(40));
    ASSERT_TRUE(zeros);
    EXPECT_EQ(std::string(40, '\0'), std::string(reinterpret_cast<const char*>(zeros.get()), 40));

    // Copies and joins are new blocks with the bytes of their parts.
    const PidlRef copy(DuplicatePIDL(two.get()));
    ASSERT_NE(two.get(), copy.get());
    EXPECT_EQ(bytesOf(two.get()), bytesOf(copy.get()));
    EXPECT_EQ(nullptr, DuplicatePIDL(nullptr));
    const PidlRef alone(JoinPIDLs(nullptr, two.get()));
    ASSERT_NE(two.get(), alone.get());
    EXPECT_EQ(bytesOf(two.get()), bytesOf(alone.get()));
    const PidlRef one = listOf({10});
    const PidlRef joined(JoinPIDLs(two.get(), one.get()));
    EXPECT_EQ(62u, PIDLSize(joined.get()));
    EXPECT_EQ(bytesOf(two.get()).substr(0, 50) + bytesOf(one.get()), bytesOf(joined.get()));
    const PidlRef withEmpty(JoinPIDLs(one.get(), empty.get()));
    EXPECT_EQ(bytesOf(one.get()), bytesOf(withEmpty.get()));

    // Truncating drops the last item in place; the empty list and no list stay as they are.
    TruncatePIDL(joined.get());
    EXPECT_EQ(bytesOf(two.get()), bytesOf(joined.get()));
    TruncatePIDL(one.get());
    EXPECT_EQ(2u, PIDLSize(one.get()));
    TruncatePIDL(one.get());
    EXPECT_EQ(2u, PIDLSize(one.get()));
    TruncatePIDL(nullptr);

    // Released lists go back to the shell allocator (the fixture counts them).
    ReleasePIDL(DuplicatePIDL(two.get()));
    ReleasePIDL(nullptr);
}

TEST_F(IEUtilsTest, InternetShortcutsAreReadWhateverTheirLayout) {
    internetShortcut("Plain.url", "http://plain.example/");
    writeFavorite("Lower.url", "[internetshortcut]\nurl=http://lower.example/\n");
    writeFavorite("Sections.url",
                  "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\n"
                  "URL=http://radio.example/live\r\nIconIndex=1\r\n[Other]\r\nURL=x\r\n");
    writeFavorite("NoKey.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    writeFavorite("Empty.url", "");

    EXPECT_EQ("http://plain.example/", UrlFromIniFile(favorite("Plain.url")));
    EXPECT_EQ("http://lower.example/", UrlFromIniFile(favorite("Lower.url")));
    EXPECT_EQ("http://radio.example/live", UrlFromIniFile(favorite("Sections.url")));
    EXPECT_EQ("", UrlFromIniFile(favorite("NoKey.url")));
    EXPECT_EQ("", UrlFromIniFile(favorite("Empty.url")));
    EXPECT_EQ("", UrlFromIniFile(favorite("Missing.url")));

    // The shell's Internet shortcut object reads the same; what it cannot load is empty.
    EXPECT_EQ("http://plain.example/", UrlFromIntShCut(favorite("Plain.url")));
    EXPECT_EQ("http://lower.example/", UrlFromIntShCut(favorite("Lower.url")));
    EXPECT_EQ("http://radio.example/live", UrlFromIntShCut(favorite("Sections.url")));
    SKIP_ON_WINE("a failed IPersistFile::Load of an Internet shortcut (a missing file, or one "
                 "without a URL, which it refuses with E_FAIL) keeps a block of the task "
                 "allocator that it never gives back");
    EXPECT_EQ("", UrlFromIntShCut(favorite("NoKey.url")));
    EXPECT_EQ("", UrlFromIntShCut(favorite("Missing.url")));
}

TEST_F(IEUtilsTest, WritingReplacesTheWholeFileWithTwoLines) {
    writeFavorite("Radio.url", "[DEFAULT]\r\nBASEURL=http://a/\r\n[InternetShortcut]\r\n"
                               "URL=http://radio.example/\r\nIconFile=x.ico\r\n");
    WriteInternetShortcut(favorite("Radio.url"), "ftp://x");
    const std::string written = fileBytes(favorite("Radio.url"));
    EXPECT_EQ(33u, written.size());
    EXPECT_EQ("[InternetShortcut]\r\nURL=ftp://x\r\n", written);
    EXPECT_EQ("ftp://x", UrlFromIntShCut(favorite("Radio.url")));

    // The address goes in as typed, blanks and all; a new file is made where none was.
    WriteInternetShortcut(favorite("Neu.url"), " http://a b/?Q=1 ");
    EXPECT_EQ("[InternetShortcut]\r\nURL= http://a b/?Q=1 \r\n", fileBytes(favorite("Neu.url")));

    // Nothing is left beside the favorites.
    WIN32_FIND_DATAA data;
    UniqueFindHandle find(FindFirstFileA(favorite("*.~*").c_str(), &data));
    EXPECT_FALSE(find.valid());
}

TEST_F(IEUtilsTest, AFavoriteThatCannotBeWrittenStaysWholeAndTheErrorNamesIt) {
    const std::string before = "[InternetShortcut]\r\nURL=http://fest.example/\r\nIconIndex=3\r\n";
    writeFavorite("Fest.url\\inside.url", before);
    // A folder that is not there cannot take a favorite.
    EXPECT_THROW(WriteInternetShortcut(favorite("Weg\\X.url"), "http://x/"), EInOutError);
    // Nor can a folder that has the favorite's name be replaced by one.
    try {
        WriteInternetShortcut(favorite("Fest.url"), "http://neu.example/");
        ADD_FAILURE() << "a folder was written over";
    } catch (const EInOutError& error) {
        EXPECT_EQ(ERROR_ACCESS_DENIED, error.ErrorCode);
        EXPECT_NE(std::string::npos, std::string(error.what()).find(favorite("Fest.url")));
    }
    EXPECT_EQ(before, fileBytes(favorite("Fest.url\\inside.url")));
    WIN32_FIND_DATAA data;
    UniqueFindHandle find(FindFirstFileA(favorite("*.~*").c_str(), &data));
    EXPECT_FALSE(find.valid()) << "the new text was left beside the favorite";
}

namespace {

std::vector<std::string> namesLike(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return names;
    do
        names.emplace_back(data.cFileName);
    while (FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// A read-only, hidden favorite is rewritten when asked to and keeps its marks and creation
// time; what an interrupted write of it left is removed, what belongs to others stays.
TEST_F(IEUtilsTest, RewritingKeepsTheMarksAndCreationTimeAndRemovesWhatAnEarlierWriteLeft) {
    internetShortcut("Wetter.url", "http://wetter.example/");
    setCreationTime(favorite("Wetter.url"), kLongAgo);
    ASSERT_TRUE(SetFileAttributesA(favorite("Wetter.url").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // Left by writes that never ended: one plain, one that already had the favorite's marks.
    internetShortcut("Wetter.url.~0", "http://halb.example/");
    internetShortcut("WETTER.URL.~7", "http://halb.example/");
    ASSERT_TRUE(SetFileAttributesA(favorite("WETTER.URL.~7").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // Not the favorite's: another favorite's, and names no write gives.
    internetShortcut("Radio.url.~0", "http://radio.example/");
    writeFavorite("Wetter.url.~x", "notiz");
    makeFolders(favorite("Wetter.url.~3"));

    WriteInternetShortcut(favorite("Wetter.url"), "http://neu.example/");
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://neu.example/\r\n",
              fileBytes(favorite("Wetter.url")));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(favorite("Wetter.url").c_str()));
    EXPECT_EQ((std::vector<std::string>{"Wetter.url.~3", "Wetter.url.~x"}),
              namesLike(favorite("Wetter.url.~*")));
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://radio.example/\r\n",
              fileBytes(favorite("Radio.url.~0")));
    // Still read-only to everybody else.
    EXPECT_FALSE(DeleteFileA(favorite("Wetter.url").c_str()));

    // Only the names such a write gives are taken for its leftovers.
    EXPECT_TRUE(IsShortcutWriteTemporary("b\xF6rse.URL.~12"));
    for (const char* name : {"Wetter.url.~", "Wetter.url.~x", "Notes.lnk.~0", "Wetter.url"})
        EXPECT_FALSE(IsShortcutWriteTemporary(name)) << name;

    // A favorite without marks keeps none; a new one is an ordinary file.
    internetShortcut("Radio.url", "http://radio.example/");
    setCreationTime(favorite("Radio.url"), kLongAgo + 1);
    WriteInternetShortcut(favorite("Radio.url"), "http://radio.example/neu");
    WriteInternetShortcut(favorite("Neu.url"), "http://neu.example/");
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(favorite("Radio.url").c_str()));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(favorite("Neu.url").c_str()));

    SKIP_ON_WINE("SetFileTime keeps no creation time: a search reports one of the host's "
                 "times instead");
    EXPECT_EQ(kLongAgo, createdOf(favorite("Wetter.url")));
    EXPECT_EQ(kLongAgo + 1, createdOf(favorite("Radio.url")));
}

TEST_F(IEUtilsTest, TypesAreMatchedExactlyAndFoldersToldFromChannels) {
    internetShortcut("Wetter.url", "http://wetter.example/");
    makeFolders(favorite("News"));
    channel("Kanal", "http://kanal.example/kanal.cdf");
    const ComRef<IShellFolder> favorites = folderOf(favoritesFolder());
    const PidlRef wetter = childOf(favorite("Wetter.url"));
    const PidlRef news = childOf(favorite("News"));
    const PidlRef kanal = childOf(favorite("Kanal"));

    EXPECT_TRUE(ItemHasType("Internet Shortcut", favorites.get(), wetter.get()));
    EXPECT_FALSE(ItemHasType("internet shortcut", favorites.get(), wetter.get()));
    EXPECT_FALSE(ItemHasType("Internet Shortcut ", favorites.get(), wetter.get()));
    EXPECT_TRUE(IsBrowsableFolder("Channel Shortcut", favorites.get(), news.get()));
    EXPECT_FALSE(IsBrowsableFolder("Channel Shortcut", favorites.get(), wetter.get()));
    // A plain folder or a file leads to no channel address.
    EXPECT_EQ("", ChannelTargetUrl(favorites.get(), news.get()));
    EXPECT_EQ("", ChannelTargetUrl(favorites.get(), wetter.get()));

    // Names as the shell shows them and as it parses them.
    EXPECT_EQ("Wetter", ItemDisplayName(favorites.get(), wetter.get()));
    EXPECT_EQ(favorite("Wetter.url"), ItemParsingName(favorites.get(), wetter.get()));
    EXPECT_EQ(favorite("News"), ItemParsingName(favorites.get(), news.get()));
    EXPECT_EQ("", ItemDisplayName(nullptr, wetter.get()));

    SKIP_ON_WINE("a system folder whose desktop.ini names its class by CLSID2 stays a plain file "
                 "folder: the shell reads no CLSID2, even with the channel shortcut class "
                 "registered");
    EXPECT_TRUE(ItemHasType("Channel Shortcut", favorites.get(), kanal.get()));
    EXPECT_FALSE(IsBrowsableFolder("Channel Shortcut", favorites.get(), kanal.get()));
    // Told by the registry's name: under another name the channel is a folder again.
    EXPECT_TRUE(IsBrowsableFolder("Kanalverkn\xFCpfung", favorites.get(), kanal.get()));
    // A channel leads to its address.
    EXPECT_EQ("http://kanal.example/kanal.cdf", ChannelTargetUrl(favorites.get(), kanal.get()));
}

TEST_F(IEUtilsTest, AShellLinkLeadsToItsTargetAndIsNeverRewritten) {
    const std::string target = platform.profile() + "\\Documents\\Liste.txt";
    makeFolders(platform.profile() + "\\Documents");
    ASSERT_TRUE(WriteWholeFile(target, "Milch\r\n"));
    shellLink("Liste.lnk", target);
    const std::string linkBytes = fileBytes(favorite("Liste.lnk"));
    EXPECT_EQ(target, ShellLinkTarget(favorite("Liste.lnk")));
    EXPECT_EQ(linkBytes, fileBytes(favorite("Liste.lnk")));

    // What is no link at all, or no file, leads nowhere.
    writeFavorite("Kaputt.lnk", std::string("L\0\0\0garbage", 11));
    internetShortcut("Wetter.url", "http://wetter.example/");
    EXPECT_EQ("", ShellLinkTarget(favorite("Kaputt.lnk")));
    EXPECT_EQ("", ShellLinkTarget(favorite("Wetter.url")));
    EXPECT_EQ("", ShellLinkTarget(favorite("Fehlt.lnk")));

    // A target that went away: nothing, and the link keeps every byte.
    SKIP_ON_WINE("IShellLink::Resolve looks for nothing: it answers S_OK for a target that is "
                 "gone, follows no relative path and updates no link");
    ASSERT_TRUE(DeleteFileA(target.c_str()));
    EXPECT_EQ("", ShellLinkTarget(favorite("Liste.lnk")));
    EXPECT_EQ(linkBytes, fileBytes(favorite("Liste.lnk")));
}
