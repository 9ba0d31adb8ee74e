// The fixture of the shell folder tests: the desktop, a favorites folder of a user who has
// been surfing, folders bound from their paths.
#pragma once

#include "shell_support.h"

namespace shell_test {

class ShellFolderTest : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put()));
    }
    void TearDown() override {
        // Folders hold their own lists until they go.
        desktop.reset();
        ShellTestBase::TearDown();
    }

    // The favorites folder of a user who has been surfing.
    void seedFavorites() {
        file("Favorites\\Wetter.url", "[InternetShortcut]\r\nURL=http://w/\r\n");
        file("Favorites\\bank 10.url");
        file("Favorites\\Bank 9.url");
        file("Favorites\\agenda.txt");
        file("Favorites\\Notes.lnk");
        file("Favorites\\zeitung\\Tageblatt.url");
        file("Favorites\\Archiv\\alt.url");
        file("Favorites\\secret.url");
        file("Favorites\\Versteckt\\x.url");
        ASSERT_TRUE(SetFileAttributesA(at("Favorites\\secret.url").c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(SetFileAttributesA(at("Favorites\\Versteckt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    }

    void bind(const std::string& path, Com<IShellFolder>& folder) {
        List list(ILCreateFromPathA(path.c_str()));
        ASSERT_TRUE(list);
        ASSERT_EQ(S_OK, desktop->BindToObject(list.get(), nullptr, IID_IShellFolder, folder.out()));
    }

    Com<IShellFolder> desktop;
};

} // namespace shell_test
