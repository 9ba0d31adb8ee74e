// The fixture of the shell link tests: link objects, their fields read back, the files.
#pragma once

#include "shell_support.h"

#include <cstring>

namespace shell_test {

class ShellLinkTest : public ShellTestBase {
  protected:
    // A new link object with its file interface.
    void create(Com<IShellLinkA>& link, Com<IPersistFile>& persist) {
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, link.out()));
        ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, persist.out()));
    }

    // What the getters say, each read into a junk-filled buffer.
    struct Fields {
        std::string path, arguments, directory, description, icon;
        int iconIndex = 0, show = 0;
        WORD hotkey = 0;
        HRESULT pathResult = E_FAIL;
    };
    static Fields read(IShellLinkA* link) {
        Fields f;
        char text[1200];
        auto get = [&](auto call) {
            std::memset(text, conformance::kJunkByte, sizeof text);
            EXPECT_EQ(S_OK, call());
            return std::string(text);
        };
        std::memset(text, conformance::kJunkByte, sizeof text);
        f.pathResult = link->GetPath(text, sizeof text, nullptr, SLGP_UNCPRIORITY);
        f.path = text;
        f.arguments = get([&] { return link->GetArguments(text, sizeof text); });
        f.directory = get([&] { return link->GetWorkingDirectory(text, sizeof text); });
        f.description = get([&] { return link->GetDescription(text, sizeof text); });
        f.iconIndex = 0x5A5A;
        f.icon = get([&] { return link->GetIconLocation(text, sizeof text, &f.iconIndex); });
        f.show = 0x5A5A;
        EXPECT_EQ(S_OK, link->GetShowCmd(&f.show));
        f.hotkey = 0x5A5A;
        EXPECT_EQ(S_OK, link->GetHotkey(&f.hotkey));
        return f;
    }

    std::string hostBytes(const std::string& below) const {
        return testing_support::readHostFile(platform.hostPath(at(below)));
    }

    const std::string kProgram = at("Programs\\Surfkolibri\\surfkolibri.exe");
    const std::string kLink = at("Desktop\\Surfkolibri-Auto.lnk");
};

} // namespace shell_test
