#include "intshcut_support.h"
#include "support/wine.h"

#include <cstring>

using namespace conformance;
using namespace shell_test;

namespace {

// A literal with its embedded zeros (the compiler's terminator left out).
template <std::size_t N> std::string zeros(const char (&text)[N]) {
    return std::string(text, N - 1);
}

const char* const kOddLayout = "; a comment = not a key\n"
                               "url=before any section\r\n"
                               "  [ internetshortcut ]  \r\n"
                               "  URL  =  http://erste.example/  \r\n"
                               "url=http://zweite.example/\n"
                               "IconFile=\"C:\\Program Files\\icon.ico\"\r\n"
                               "IconIndex='1'\r\n"
                               "\r\n"
                               "[InternetShortcut]\r\n"
                               "Extra=in the second section of the same name\r\n"
                               "[Leer]\r\n"
                               "[DEFAULT]\r\n"
                               "BASEURL=http://basis.example/";

} // namespace

TEST_F(ProfileStringTest, LookupsFollowWindowsRules) {
    file("test.ini", kOddLayout);
    EXPECT_EQ("http://erste.example/", value("InternetShortcut", "url"));
    EXPECT_EQ("C:\\Program Files\\icon.ico", value("INTERNETSHORTCUT", "iconfile"));
    EXPECT_EQ("1", value("InternetShortcut", "IconIndex"));
    EXPECT_EQ("<default>", value("InternetShortcut", "Extra"));      // the first section wins
    EXPECT_EQ("http://basis.example/", value("Default", "BaseURL")); // no line end at the end
    EXPECT_EQ("<default>", value("Leer", "x"));
    EXPECT_EQ("  x", value("Nirgends", "x", "  x  ")); // the default loses trailing blanks
    EXPECT_EQ("", value("Nirgends", "x", nullptr));

    // A value cut to the buffer counts size - 1.
    DWORD n = 0;
    std::string bytes = get("InternetShortcut", "URL", "", 8, n);
    EXPECT_EQ(7u, n);
    EXPECT_EQ(zeros("http://\0"), bytes);
    EXPECT_EQ(0u, GetPrivateProfileStringA("a", "b", "c", nullptr, 10, at("test.ini").c_str()));

    // Lists: section names, then the keys of one section; each ended by a zero, the list by two.
    bytes = get(nullptr, nullptr, "", 64, n);
    EXPECT_EQ(zeros("internetshortcut\0InternetShortcut\0Leer\0DEFAULT\0\0"),
              bytes.substr(0, n + 1));
    bytes = get("internetShortcut", nullptr, "", 64, n);
    EXPECT_EQ(zeros("URL\0url\0IconFile\0IconIndex\0\0"), bytes.substr(0, n + 1));

    // A file that is not there: the default, and the error.
    junkLastError();
    char buffer[16];
    EXPECT_EQ(5u, GetPrivateProfileStringA("a", "b", "fehlt", buffer, sizeof buffer,
                                           at("none.ini").c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_STREQ("fehlt", buffer);
}

// A list cut to the buffer ends with two zeros and counts size - 2.
TEST_F(ProfileStringTest, AListCutToTheBufferEndsWithTwoZeros) {
    SKIP_ON_WINE("GetPrivateProfileStringA ends a cut list of section names with one zero, "
                 "where Windows puts two");
    file("test.ini", kOddLayout);
    DWORD n = 0;
    EXPECT_EQ(zeros("internet\0\0"), get(nullptr, nullptr, "", 10, n));
    EXPECT_EQ(8u, n);
}

// A name without a folder lies in the Windows folder.
TEST_F(ProfileStringTest, ANameAloneLiesInTheWindowsFolder) {
    List windows;
    ASSERT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_WINDOWS, nullptr, 0, windows.out()));
    char folder[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(windows.get(), folder));
    const std::string ini = std::string(folder) + "\\kravonel-test.ini";
    fileAt(ini, "[windows]\r\nload=\r\nrun=notepad\r\n");
    char buffer[16];
    const DWORD n =
        GetPrivateProfileStringA("Windows", "RUN", "", buffer, sizeof buffer, "KRAVONEL-TEST.INI");
    DeleteFileA(ini.c_str());
    EXPECT_EQ(7u, n);
    EXPECT_STREQ("notepad", buffer);
}

TEST_F(ProfileStringTest, WritingChangesOnlyWhatItNames) {
    file("test.ini", "[InternetShortcut]\nURL=http://alt.example/\nIconIndex=2\n\n"
                     "[Other]\nA=1\n");
    const std::string iniPath = at("test.ini");
    const char* ini = iniPath.c_str();
    ASSERT_TRUE(WritePrivateProfileStringA("internetshortcut", "url", "http://neu.example/", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("InternetShortcut", "Modified", "0", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "A", nullptr, ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Neu", "B", "zwei", ini));
    EXPECT_EQ("http://neu.example/", value("InternetShortcut", "URL"));
    EXPECT_EQ("2", value("InternetShortcut", "IconIndex"));
    EXPECT_EQ("0", value("InternetShortcut", "Modified"));
    EXPECT_EQ("<default>", value("Other", "A"));
    // The keys stay in their order (how the rewritten one is spelt is the file's business).
    DWORD keys = 0;
    EXPECT_EQ(zeros("URL\0ICONINDEX\0MODIFIED\0\0"),
              AnsiUpperCase(get("InternetShortcut", nullptr, "", 64, keys).substr(0, keys + 1)));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", nullptr, nullptr, ini));
    EXPECT_EQ("zwei", value("neu", "b"));
    EXPECT_EQ("<default>", value("Other", "A"));
    DWORD n = 0;
    EXPECT_EQ(zeros("InternetShortcut\0Neu\0\0"),
              get(nullptr, nullptr, "", 64, n, ini).substr(0, n + 1));

    // A new file is made; a folder that is missing is an error.
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "V", at("neu.ini").c_str()));
    EXPECT_EQ("[S]\r\nK=V\r\n", testing_support::readHostFile(platform.hostPath(at("neu.ini"))));
    junkLastError();
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "V", at("Nirgends\\neu.ini").c_str()));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

using shell_test::InternetShortcutTest;
using shell_test::ProfileStringTest;

TEST_F(InternetShortcutTest, LoadsTheAddressOfAnyLayout) {
    EXPECT_EQ("<none>", address());
    file("Favorites\\odd.url", kOddLayout);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(at("Favorites\\odd.url")).c_str(), STGM_READ));
    EXPECT_EQ("http://erste.example/", address());
    EXPECT_EQ(S_FALSE, persist->IsDirty());

    EXPECT_EQ(S_OK, url->SetURL("ftp.treiber.example", 0));
    EXPECT_EQ("ftp.treiber.example", address());
    EXPECT_EQ(S_OK, persist->IsDirty());
}

// Loading a file that is not there fails and leaves the shortcut as it was.
TEST_F(InternetShortcutTest, AMissingFileLeavesTheShortcutAsItWas) {
    SKIP_ON_WINE("a failed IPersistFile::Load of an Internet shortcut keeps a block of the task "
                 "allocator that it never gives back");
    file("Favorites\\odd.url", kOddLayout);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(at("Favorites\\odd.url")).c_str(), STGM_READ));
    EXPECT_TRUE(FAILED(persist->Load(AnsiToWide(at("Favorites\\none.url")).c_str(), STGM_READ)));
    EXPECT_EQ("http://erste.example/", address());
}

TEST_F(InternetShortcutTest, AnAddressWithoutSchemeGetsOneWhenAsked) {
    SKIP_ON_WINE("IUniformResourceLocator::SetURL adds no scheme for either flag");
    EXPECT_EQ(S_OK, url->SetURL("www.kochrezepte.example", IURL_SETURL_FL_GUESS_PROTOCOL));
    EXPECT_EQ("http://www.kochrezepte.example", address());
    EXPECT_EQ(S_OK, url->SetURL("kiel.example", IURL_SETURL_FL_USE_DEFAULT_PROTOCOL));
    EXPECT_EQ("http://kiel.example", address());
    EXPECT_EQ(S_OK, url->SetURL("ftp.treiber.example", 0));
    EXPECT_EQ("ftp.treiber.example", address());
}

TEST_F(InternetShortcutTest, SavingWritesTheAddressAndKeepsTheRestOfTheFile) {
    SKIP_ON_WINE("IPersistFile::Save of an Internet shortcut fails with E_FAIL when given no name "
                 "for the file it was loaded from");
    file("Favorites\\odd.url", kOddLayout);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(at("Favorites\\odd.url")).c_str(), STGM_READ));
    EXPECT_EQ(S_OK, url->SetURL("ftp.treiber.example", 0));
    ASSERT_EQ(S_OK, persist->Save(nullptr, TRUE));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    // The file the shortcut was loaded from has the new address and keeps what else it held.
    const std::string odd = at("Favorites\\odd.url");
    char text[64];
    GetPrivateProfileStringA("InternetShortcut", "URL", "", text, sizeof text, odd.c_str());
    EXPECT_STREQ("ftp.treiber.example", text);
    GetPrivateProfileStringA("InternetShortcut", "IconIndex", "", text, sizeof text, odd.c_str());
    EXPECT_STREQ("1", text);
    GetPrivateProfileStringA("Default", "BaseURL", "", text, sizeof text, odd.c_str());
    EXPECT_STREQ("http://basis.example/", text);
}
