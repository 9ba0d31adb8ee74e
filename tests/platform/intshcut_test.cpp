#include "platform/root.h"
#include "shell_support.h"

#include <cstring>

using namespace conformance;
using namespace shell_test;

namespace {

// A literal with its embedded zeros (the compiler's terminator left out).
template <std::size_t N> std::string zeros(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class ProfileStringTest : public ShellTestBase {
  protected:
    // GetPrivateProfileStringA into a junk-filled buffer of `size`; the bytes it left.
    std::string get(const char* section, const char* key, const char* fallback, DWORD size,
                    DWORD& result, const char* file = "C:\\Users\\User\\test.ini") {
        std::vector<char> buffer(size + 4, kJunkByte);
        result = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
        return std::string(buffer.data(), size);
    }
    std::string value(const char* section, const char* key, const char* fallback = "<default>") {
        DWORD n = 0;
        const std::string bytes = get(section, key, fallback, 256, n);
        EXPECT_EQ('\0', bytes[n]);
        return bytes.substr(0, n);
    }
};

const char* const kOddLayout = "; a comment = not a key\n"
                               "url=before any section\r\n"
                               "  [ internetshortcut ]  \r\n"
                               "  URL  =  http://erste.example/  \r\n"
                               "url=http://zweite.example/\n"
                               "IconFile=\"C:\\Program Files\\icon.ico\"\r\n"
                               "IconIndex='1'\r\n"
                               "NurSchluessel\r\n"
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
    EXPECT_EQ("", value("InternetShortcut", "NurSchluessel"));
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
    EXPECT_EQ(0u,
              GetPrivateProfileStringA("a", "b", "c", nullptr, 10, "C:\\Users\\User\\test.ini"));

    // Lists: section names, then the keys of one section; each ended by a zero, the list by two.
    bytes = get(nullptr, nullptr, "", 64, n);
    EXPECT_EQ(zeros("internetshortcut\0InternetShortcut\0Leer\0DEFAULT\0\0"),
              bytes.substr(0, n + 1));
    bytes = get("internetShortcut", nullptr, "", 64, n);
    EXPECT_EQ(zeros("URL\0url\0IconFile\0IconIndex\0NurSchluessel\0\0"), bytes.substr(0, n + 1));
    bytes = get(nullptr, nullptr, "", 10, n);
    EXPECT_EQ(8u, n);
    EXPECT_EQ(zeros("internet\0\0"), bytes);

    // A file that is not there: the default, and the error.
    junkLastError();
    char buffer[16];
    EXPECT_EQ(5u, GetPrivateProfileStringA("a", "b", "fehlt", buffer, sizeof buffer,
                                           "C:\\Users\\User\\none.ini"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_STREQ("fehlt", buffer);
    // A name without a folder lies in the Windows folder.
    fileAt("C:\\Windows\\win.ini", "[windows]\r\nload=\r\nrun=notepad\r\n");
    EXPECT_EQ(7u, GetPrivateProfileStringA("Windows", "RUN", "", buffer, sizeof buffer, "WIN.INI"));
    EXPECT_STREQ("notepad", buffer);
}

TEST_F(ProfileStringTest, WritingChangesOnlyWhatItNames) {
    file("test.ini", "[InternetShortcut]\nURL=http://alt.example/\nIconIndex=2\n\n"
                     "[Other]\nA=1\n");
    const char* ini = "C:\\Users\\User\\test.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("internetshortcut", "url", "http://neu.example/", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("InternetShortcut", "Modified", "0", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "A", nullptr, ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Neu", "B", "zwei", ini));
    EXPECT_EQ("[InternetShortcut]\r\nurl=http://neu.example/\r\nIconIndex=2\r\nModified=0\r\n"
              "\r\n[Other]\r\n[Neu]\r\nB=zwei\r\n",
              testing_support::readHostFile(platform.hostPath(ini)));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", nullptr, nullptr, ini));
    EXPECT_EQ("zwei", value("neu", "b"));
    EXPECT_EQ("<default>", value("Other", "A"));
    DWORD n = 0;
    EXPECT_EQ(zeros("InternetShortcut\0Neu\0\0"),
              get(nullptr, nullptr, "", 64, n, ini).substr(0, n + 1));

    // A new file is made; a folder that is missing is an error.
    ASSERT_TRUE(WritePrivateProfileStringA("S", "K", "V", "C:\\Users\\User\\neu.ini"));
    EXPECT_EQ("[S]\r\nK=V\r\n",
              testing_support::readHostFile(platform.hostPath("C:\\Users\\User\\neu.ini")));
    junkLastError();
    EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "V", "C:\\Nirgends\\neu.ini"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

namespace {

class InternetShortcutTest : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IUniformResourceLocatorA, url.out()));
        ASSERT_EQ(S_OK, url->QueryInterface(IID_IPersistFile, persist.out()));
    }
    void TearDown() override {
        persist.reset();
        url.reset();
        ShellTestBase::TearDown();
    }
    std::string address() {
        LPSTR text = reinterpret_cast<LPSTR>(0x1);
        const HRESULT hr = url->GetURL(&text);
        if (hr == S_FALSE) return text ? "<not null>" : "<none>";
        EXPECT_EQ(S_OK, hr);
        std::string result = text;
        CoTaskMemFree(text);
        return result;
    }
    Com<IUniformResourceLocatorA> url;
    Com<IPersistFile> persist;
};

} // namespace

TEST_F(InternetShortcutTest, LoadsTheAddressOfAnyLayoutAndSavesOnlyTheAddress) {
    EXPECT_EQ("<none>", address());
    file("Favorites\\odd.url", kOddLayout);
    ASSERT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Favorites\\odd.url", STGM_READ));
    EXPECT_EQ("http://erste.example/", address());
    EXPECT_EQ(S_FALSE, persist->IsDirty());

    file("Favorites\\leer.url", "[InternetShortcut]\nIconIndex=3\n");
    ASSERT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Favorites\\leer.url", STGM_READ));
    EXPECT_EQ("<none>", address());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              persist->Load(u"C:\\Users\\User\\Favorites\\none.url", STGM_READ));

    EXPECT_EQ(S_OK, url->SetURL("www.kochrezepte.example", IURL_SETURL_FL_GUESS_PROTOCOL));
    EXPECT_EQ("http://www.kochrezepte.example", address());
    EXPECT_EQ(S_OK, url->SetURL("kiel.example", IURL_SETURL_FL_USE_DEFAULT_PROTOCOL));
    EXPECT_EQ("http://kiel.example", address());
    EXPECT_EQ(S_OK, url->SetURL("ftp.treiber.example", 0));
    EXPECT_EQ("ftp.treiber.example", address());
    EXPECT_EQ(E_INVALIDARG, url->SetURL("x", 0x100));
    EXPECT_EQ(S_OK, persist->IsDirty());
    ASSERT_EQ(S_OK, persist->Save(nullptr, TRUE));
    EXPECT_EQ(
        "[InternetShortcut]\r\nIconIndex=3\r\nURL=ftp.treiber.example\r\n",
        testing_support::readHostFile(platform.hostPath("C:\\Users\\User\\Favorites\\leer.url")));

    // The address opens through the shell.
    platform::clearShellLog();
    ASSERT_EQ(S_OK, url->SetURL("http://kiel.example/", 0));
    URLINVOKECOMMANDINFOA invoke{sizeof invoke, 0, nullptr, nullptr};
    EXPECT_EQ(S_OK, url->InvokeCommand(&invoke));
    ASSERT_EQ(1u, platform::shellLog().size());
    EXPECT_EQ("http://kiel.example/", platform::shellLog()[0].target);
    EXPECT_EQ("open", platform::shellLog()[0].operation);
}
