// The hosted Internet shortcut opens its address through the platform's shell, which a test
// sees in record mode.
#include "intshcut_support.h"
#include "platform/root.h"

using namespace conformance;
using namespace shell_test;

TEST_F(InternetShortcutTest, TheAddressOpensThroughTheShell) {
    platform::clearShellLog();
    ASSERT_EQ(S_OK, url->SetURL("http://kiel.example/", 0));
    URLINVOKECOMMANDINFOA invoke{sizeof invoke, 0, nullptr, nullptr};
    EXPECT_EQ(S_OK, url->InvokeCommand(&invoke));
    ASSERT_EQ(1u, platform::shellLog().size());
    EXPECT_EQ("http://kiel.example/", platform::shellLog()[0].target);
    EXPECT_EQ("open", platform::shellLog()[0].operation);
}

// A shortcut file without an address loads as a shortcut without one; saving keeps the other
// keys in their places and adds the address last.
TEST_F(InternetShortcutTest, AMissingFileAndBadFlagsHaveTheirErrors) {
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              persist->Load(u"C:\\Users\\User\\Favorites\\none.url", STGM_READ));
    EXPECT_EQ(E_INVALIDARG, url->SetURL("x", 0x100));
}

TEST_F(InternetShortcutTest, AFileWithoutAnAddressLoadsAndSavesItsAddressLast) {
    file("Favorites\\leer.url", "[InternetShortcut]\nIconIndex=3\n");
    ASSERT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Favorites\\leer.url", STGM_READ));
    EXPECT_EQ("<none>", address());
    EXPECT_EQ(S_OK, url->SetURL("ftp.treiber.example", 0));
    ASSERT_EQ(S_OK, persist->Save(nullptr, TRUE));
    EXPECT_EQ(
        "[InternetShortcut]\r\nIconIndex=3\r\nURL=ftp.treiber.example\r\n",
        testing_support::readHostFile(platform.hostPath("C:\\Users\\User\\Favorites\\leer.url")));
}

// A line without "=" is a key with an empty value; a written key takes the spelling it was
// written with, and blank lines stay where they were.
TEST_F(ProfileStringTest, KeysWithoutValuesAndTheFileAsWritten) {
    const char* ini = "C:\\Users\\User\\test.ini";
    file("test.ini", "[InternetShortcut]\nURL=http://alt.example/\nNurSchluessel\nIconIndex=2\n\n"
                     "[Other]\nA=1\n");
    char text[64] = "junk";
    EXPECT_EQ(0u, GetPrivateProfileStringA("InternetShortcut", "NurSchluessel", "<default>", text,
                                           sizeof text, ini));
    EXPECT_STREQ("", text);
    ASSERT_TRUE(WritePrivateProfileStringA("internetshortcut", "url", "http://neu.example/", ini));
    ASSERT_TRUE(WritePrivateProfileStringA("Other", "A", nullptr, ini));
    EXPECT_EQ("[InternetShortcut]\r\nurl=http://neu.example/\r\nNurSchluessel\r\nIconIndex=2\r\n"
              "\r\n[Other]\r\n",
              testing_support::readHostFile(platform.hostPath(ini)));
}
