// Window tests of the browser settings: the program started with its texts applied, and the
// registry values the settings live in, read and written as the browser keeps them.
#pragma once

#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_autocomplete.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/caller_trace.h"
#include "support/window_fixture.h"

#include <string>
#include <vector>

namespace settings_test {

inline const char* const kInternetExplorer = "Software\\Microsoft\\Internet Explorer";
inline const char* const kMain = "Software\\Microsoft\\Internet Explorer\\Main";
inline const char* const kEditor =
    "Software\\Microsoft\\Internet Explorer\\Default HTML Editor\\shell\\edit\\command";
inline const char* const kAutoComplete =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";

// A value as the registry holds it; type REG_NONE when it is not there.
struct Stored {
    DWORD type = REG_NONE;
    std::string text;
    bool operator==(const Stored&) const = default;
};

// A value written by the program is a REG_SZ; one the test put there as REG_EXPAND_SZ shows
// that the program left it alone.
inline Stored written(const std::string& text) {
    return {REG_SZ, text};
}
inline Stored untouched(const std::string& text) {
    return {REG_EXPAND_SZ, text};
}

inline void setValue(const std::string& key, const std::string& name, const Stored& value,
                     const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, handle.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, value.type,
                                            reinterpret_cast<const BYTE*>(value.text.c_str()),
                                            static_cast<DWORD>(value.text.size() + 1)));
}

inline Stored valueOf(const std::string& key, const std::string& name) {
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.out()) != ERROR_SUCCESS)
        return {};
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS)
        return {};
    return {type, std::string(data, size > 0 ? size - 1 : 0)};
}

inline bool keyExists(const std::string& key) {
    UniqueHKey handle;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.out()) ==
           ERROR_SUCCESS;
}

inline std::vector<std::string> valueNames(const std::string& key) {
    std::vector<std::string> names;
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.out()) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumValueA(handle.get(), index, name, &nameSize, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, nameSize);
    }
    return names;
}

inline void deleteValue(const std::string& key, const std::string& name) {
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, handle.out()) ==
        ERROR_SUCCESS)
        RegDeleteValueA(handle.get(), name.c_str());
}

class SettingsWindowTest : public testing_support::WindowTest {
  protected:
    // Starts the program in a language, with its texts, and lets the start-up timer read the
    // settings as it does at every start.
    void start(int language = 0) {
        StartProgram(language);
        ApplyLanguageTexts();
        Form1->Timer1Timer();
    }
    IEPowerPanel* page() const { return Form1->IEPowerPanel; }
};

} // namespace settings_test
