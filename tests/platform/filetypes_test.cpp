#include "platform/gui/icons.h"
#include "platform/gui/shellicons.h"
#include "platform/shellicons.h"
#include "shell_support.h"
#include "support/application.h"
#include "support/child_process.h"

#include <set>

using namespace conformance;
using namespace shell_test;

namespace {

class FileTypesTest : public ShellTestBase {
  protected:
    // SHGetFileInfoA on a path with the given flags; junk in everything beforehand.
    DWORD_PTR info(const std::string& path, UINT flags, SHFILEINFOA& out, DWORD attributes = 0) {
        fillJunk(out);
        return SHGetFileInfoA(path.c_str(), attributes, &out, sizeof out, flags);
    }
    DWORD_PTR info(PCIDLIST_ABSOLUTE list, UINT flags, SHFILEINFOA& out) {
        fillJunk(out);
        return SHGetFileInfoA(reinterpret_cast<LPCSTR>(list), 0, &out, sizeof out,
                              flags | SHGFI_PIDL);
    }
    std::string typeName(const std::string& path) {
        SHFILEINFOA out;
        return info(path, SHGFI_TYPENAME, out) ? out.szTypeName : "<failed>";
    }
    int iconOf(const std::string& path) {
        SHFILEINFOA out;
        return info(path, SHGFI_SYSICONINDEX | SHGFI_SMALLICON, out) ? out.iIcon : -1;
    }

    // A folder that stands for the channel shortcut class (read-only or system, desktop.ini).
    void channel(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_SYSTEM) {
        const std::string folder = "C:\\Users\\User\\Favorites\\" + name;
        file("Favorites\\" + name + "\\desktop.ini",
             "[.ShellClassInfo]\r\nCLSID2={2237021C-E9A7-4940-8A4A-5E9E314E7ED8}\r\n"
             "[Channel]\r\nCDFURL=http://kanal.example/kanal.cdf\r\n");
        ASSERT_TRUE(SetFileAttributesA(folder.c_str(), attributes));
    }
};

const char* const kFavorites = "C:\\Users\\User\\Favorites\\";

} // namespace

TEST_F(FileTypesTest, TypeNamesComeFromTheClassesRoot) {
    file("Favorites\\Wetter.url");
    file("Favorites\\Notes.lnk");
    file("Favorites\\Plan.xyz");
    file("Favorites\\LIESMICH");
    file("Favorites\\Brief.txt");
    const std::string f = kFavorites;
    EXPECT_EQ("Internet Shortcut", typeName(f + "Wetter.url"));
    EXPECT_EQ("Shortcut", typeName(f + "Notes.lnk"));
    EXPECT_EQ("Text Document", typeName(f + "Brief.txt"));
    EXPECT_EQ("XYZ File", typeName(f + "Plan.xyz"));
    EXPECT_EQ("File", typeName(f + "LIESMICH"));
    EXPECT_EQ("File Folder", typeName("C:\\Users\\User\\Favorites"));
    EXPECT_EQ("<failed>", typeName(f + "missing.url"));

    // The text is the registry's, whatever it says now.
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CLASSES_ROOT, "InternetShortcut", 0, KEY_SET_VALUE, key.out()));
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), nullptr, "Internetverkn\xFCpfung"));
    EXPECT_EQ("Internetverkn\xFCpfung", typeName(f + "Wetter.url"));
    // A type whose class is gone is named after its extension; a long text is cut to 79.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, "lnkfile"));
    EXPECT_EQ("LNK File", typeName(f + "Notes.lnk"));
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "txtfile", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), nullptr, std::string(200, 'T')));
    EXPECT_EQ(std::string(79, 'T'), typeName(f + "Brief.txt"));

    // With SHGFI_USEFILEATTRIBUTES nothing on disk is looked at.
    SHFILEINFOA out;
    EXPECT_TRUE(info("nowhere\\a.url", SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME, out,
                     FILE_ATTRIBUTE_NORMAL));
    EXPECT_STREQ("Internetverkn\xFCpfung", out.szTypeName);
    EXPECT_TRUE(
        info("nowhere", SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME, out, FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_STREQ("File Folder", out.szTypeName);
}

TEST_F(FileTypesTest, FileClassesChangedHereOrByAnotherProgramAreSeenAtOnce) {
    file("Favorites\\Wetter.url");
    file("Favorites\\Plan.xyz");
    const std::string f = kFavorites;
    Com<IShellFolder> desktop;
    ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put()));
    List wetter(ILCreateFromPathA((f + "Wetter.url").c_str()));
    // Asked many times over, as a list of favorites does.
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ("Internet Shortcut", typeName(f + "Wetter.url"));
        EXPECT_EQ("Wetter", displayName(desktop.get(), wetter.get(), SHGDN_NORMAL));
        EXPECT_EQ("XYZ File", typeName(f + "Plan.xyz"));
    }

    // This program shows the extension again: at once.
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CLASSES_ROOT, "InternetShortcut", 0, KEY_SET_VALUE, key.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "NeverShowExt"));
    key.reset();
    EXPECT_EQ("Wetter.url", displayName(desktop.get(), wetter.get(), SHGDN_NORMAL));

    // Another program renames a class and registers a new one.
    ASSERT_EQ(
        0, testing_support::RunInChildProcess([] {
            UniqueHKey k;
            if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "InternetShortcut", 0, KEY_SET_VALUE, k.out()) ||
                setString(k.get(), nullptr, "Verkn\xFCpfung") ||
                setString(k.get(), "NeverShowExt", ""))
                return 1;
            if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".xyz", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                k.out(), nullptr) ||
                setString(k.get(), nullptr, "xyzfile") ||
                RegCreateKeyExA(HKEY_CLASSES_ROOT, "xyzfile", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, k.out(), nullptr) ||
                setString(k.get(), nullptr, "Plan"))
                return 2;
            return 0;
        }));
    EXPECT_EQ("Verkn\xFCpfung", typeName(f + "Wetter.url"));
    EXPECT_EQ("Wetter", displayName(desktop.get(), wetter.get(), SHGDN_NORMAL));
    EXPECT_EQ("Plan", typeName(f + "Plan.xyz"));
}

TEST_F(FileTypesTest, AChannelShortcutIsAFolderWithTheChannelTypeAndLeadsToItsAddress) {
    channel("Kanal");
    channel("Gewoehnlich", 0); // without the attribute its desktop.ini does not count
    EXPECT_EQ("Channel Shortcut", typeName(std::string(kFavorites) + "Kanal"));
    EXPECT_EQ("File Folder", typeName(std::string(kFavorites) + "Gewoehnlich"));

    // Through the list: attributes and type name in one call, as the favorites list asks.
    List kanal(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Kanal"));
    SHFILEINFOA out;
    ASSERT_TRUE(info(kanal.get(), SHGFI_TYPENAME | SHGFI_ATTRIBUTES, out));
    EXPECT_STREQ("Channel Shortcut", out.szTypeName);
    EXPECT_TRUE(out.dwAttributes & SFGAO_FOLDER);
    // The item alone tells its type, as a folder's enumerator hands it out (a single item).
    ASSERT_TRUE(info(ILFindLastID(kanal.get()), SHGFI_TYPENAME | SHGFI_SYSICONINDEX, out));
    EXPECT_STREQ("Channel Shortcut", out.szTypeName);
    EXPECT_EQ(platform::kIconInternetShortcut, out.iIcon);
    List plainFolder(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Gewoehnlich"));
    ASSERT_TRUE(info(ILFindLastID(plainFolder.get()), SHGFI_TYPENAME | SHGFI_SYSICONINDEX, out));
    EXPECT_STREQ("File Folder", out.szTypeName);
    EXPECT_EQ(platform::kIconFolder, out.iIcon);

    // Its link object leads to the channel's address, named by the desktop.
    Com<IShellFolder> desktop;
    ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put()));
    Com<IShellFolder> favorites;
    List parent(ILCreateFromPathA("C:\\Users\\User\\Favorites"));
    ASSERT_EQ(S_OK,
              desktop->BindToObject(parent.get(), nullptr, IID_IShellFolder, favorites.out()));
    PCUITEMID_CHILD child = ILFindLastID(kanal.get());
    Com<IShellLinkA> link;
    ASSERT_EQ(S_OK,
              favorites->GetUIObjectOf(nullptr, 1, &child, IID_IShellLinkA, nullptr, link.out()));
    List target;
    ASSERT_EQ(S_OK, link->GetIDList(target.out()));
    EXPECT_EQ("http://kanal.example/kanal.cdf",
              displayName(desktop.get(), target.get(), SHGDN_NORMAL));
    // A plain folder is no link.
    List plain(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Gewoehnlich"));
    PCUITEMID_CHILD plainChild = ILFindLastID(plain.get());
    Com<IShellLinkA> none;
    EXPECT_EQ(E_NOINTERFACE, favorites->GetUIObjectOf(nullptr, 1, &plainChild, IID_IShellLinkA,
                                                      nullptr, none.out()));
    EXPECT_EQ(nullptr, none.get());
}

TEST_F(FileTypesTest, TheSystemImageListHasAPictureForEachKind) {
    file("Favorites\\Wetter.url");
    file("Favorites\\Notes.lnk");
    file("Favorites\\Brief.txt");
    const std::string f = kFavorites;
    const int url = iconOf(f + "Wetter.url");
    const int link = iconOf(f + "Notes.lnk");
    const int document = iconOf(f + "Brief.txt");
    const int folder = iconOf("C:\\Users\\User\\Favorites");
    const int drive = iconOf("C:\\");
    EXPECT_EQ(5u, std::set<int>({url, link, document, folder, drive}).size());

    SHFILEINFOA out;
    const DWORD_PTR small = info(f + "Brief.txt", SHGFI_SYSICONINDEX | SHGFI_SMALLICON, out);
    const DWORD_PTR large = info(f + "Brief.txt", SHGFI_SYSICONINDEX, out);
    ASSERT_NE(0u, small);
    ASSERT_NE(small, large);
    const auto smallList = reinterpret_cast<HIMAGELIST>(small);
    EXPECT_GT(ImageList_GetImageCount(smallList), std::max({url, link, document, folder, drive}));
    EXPECT_EQ(0, ImageList_GetImageCount(nullptr));
    EXPECT_EQ(QSize(16, 16), ImageListImage(smallList, url).size());
    EXPECT_EQ(QSize(32, 32), ImageListImage(reinterpret_cast<HIMAGELIST>(large), url).size());
    EXPECT_NE(ImageListImage(smallList, url), ImageListImage(smallList, link));
    EXPECT_TRUE(ImageListImage(smallList, 999).isNull());

    // With the application running, SHGFI_ICON hands out an icon the caller destroys.
    testing_support::EnsureApplication();
    const int iconsBefore = LiveIconCount();
    ASSERT_EQ(small,
              info(f + "Wetter.url", SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SMALLICON, out));
    ASSERT_NE(nullptr, out.hIcon);
    EXPECT_EQ(url, out.iIcon);
    EXPECT_EQ(ImageListImage(smallList, url), IconImage(out.hIcon));
    EXPECT_EQ(iconsBefore + 1, LiveIconCount());
    EXPECT_TRUE(DestroyIcon(out.hIcon));
    EXPECT_EQ(iconsBefore, LiveIconCount());
}
