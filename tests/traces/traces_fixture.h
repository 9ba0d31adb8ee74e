// Window tests of the surf traces: the program started in English with its texts applied,
// busy-window showings recorded as the modal seam sees them (the messages are the shared
// fixture's), and the registry helpers the trace lists need.
#pragma once

#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/caller_trace.h"
#include "support/window_fixture.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

namespace traces_test {

inline const char* const kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline const char* const kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const char* const kRecent = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent";

// A busy-window showing as the seam saw it.
struct BusyShowing {
    std::string line;
    int interval;
    bool timerRunning;
};

class TracesWindowTest : public testing_support::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
        ApplyLanguageTexts();
        // The links are clicked as a user clicks them: on the main window as it shows.
        Form1->show();
        onModal = [this](QWidget* window) {
            if (window == Form2) {
                busy.push_back({Form2->Label2->Caption(), Form2->FakeTimer->interval(),
                                Form2->FakeTimer->isActive()});
                // The progress would take seconds; the seam closes the window at once.
                Form2->FakeTimer->stop();
                Form2->ProgressBar1->setValue(0);
            }
            if (alsoOnModal) alsoOnModal(window);
        };
    }

    std::vector<BusyShowing> busy;
    std::function<void(QWidget*)> alsoOnModal;
};

// Registry values below HKEY_CURRENT_USER, written and read through the Win32 calls.
inline void setValue(const std::string& key, const std::string& name, DWORD type,
                     const std::string& data,
                     const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, handle.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
}
inline void setString(const std::string& key, const std::string& name, const std::string& text) {
    setValue(key, name, REG_SZ, text + std::string(1, '\0'));
}
inline bool keyExists(const std::string& key) {
    UniqueHKey handle;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.out()) ==
           ERROR_SUCCESS;
}
inline void deleteKey(const std::string& key) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}
// The names one of the registry's enumeration calls gives for the key, in registry order;
// none for a missing key.
template <typename Enumerate>
std::vector<std::string> namesIn(const std::string& key, Enumerate enumerate) {
    std::vector<std::string> names;
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.out()) != ERROR_SUCCESS)
        return names;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (enumerate(handle.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}
inline std::vector<std::string> valueNames(const std::string& key) {
    return namesIn(key, RegEnumValueA);
}
inline std::vector<std::string> subkeyNames(const std::string& key) {
    return namesIn(key, RegEnumKeyExA);
}

inline std::vector<std::string> lines(const QListWidget* list) {
    std::vector<std::string> result;
    for (int i = 0; i < list->count(); ++i)
        result.push_back(QStringToAnsi(list->item(i)->text()));
    return result;
}

} // namespace traces_test
