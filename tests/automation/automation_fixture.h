// Tests of the automation: the program started with its texts applied and the two Startup
// folders of the hosted machine.
#pragma once

#include "shortcut_files.h"

#include "lang/TQwTrans2.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "shell/ApplyLanguageTexts.h"
#include "support/window_fixture.h"

#include <string>
#include <vector>

namespace automation_test {

inline const std::string kUserStartup =
    "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\";
inline const std::string kCommonStartup =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\";

inline void setAdministrator(bool administrator) {
    platform::setSetting("admin", administrator ? "yes" : "no");
}

// The program started in a language (0 English, 1 German) with the given arguments, its
// texts applied.
class AutomationTest : public testing_support::WindowTest {
  protected:
    void start(int language = 0, const std::vector<std::string>& arguments = {}) {
        StartProgram(language, arguments);
        ApplyLanguageTexts();
    }
    // The program's own file, which its shortcuts start.
    std::string programFile() const { return platform.programFolderWindows() + "surfkolibri"; }
    // The name the current language gives the shortcut.
    std::string translatedName() const { return GetText(169) + ".lnk"; }
};

} // namespace automation_test
