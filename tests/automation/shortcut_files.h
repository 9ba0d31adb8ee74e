// Shortcut files written and read through the shell's own link object (independently of
// TShellLink), and the Shell Folders values the automation looks its folders up in. Plain
// Win32, so that the tests using it run on Windows too.
#pragma once

#include "platform/win32.h"
#include "support/caller_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace automation_test {

inline const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct Shortcut {
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconLocation;
    int iconIndex = -1;
    int showCommand = -1;
    WORD hotKey = 0xFFFF;
};

inline void
writeShortcut(const std::string& path, const std::string& arguments,
              const std::string& workingDirectory = "", const std::string& description = "",
              const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    IShellLinkA* link = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    link->SetPath("C:\\Windows\\notepad.exe");
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    link->SetDescription(description.c_str());
    IPersistFile* file = nullptr;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    const HRESULT saved = file->Save(AnsiToWide(path).c_str(), TRUE);
    file->Release();
    link->Release();
    ASSERT_EQ(S_OK, saved) << path;
}

inline Shortcut
readShortcut(const std::string& path,
             const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    Shortcut s;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    if (!link) return s;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (file && SUCCEEDED(file->Load(AnsiToWide(path).c_str(), 0))) {
        char text[1024];
        if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, 0))) s.target = text;
        if (SUCCEEDED(link->GetArguments(text, sizeof text))) s.arguments = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) s.workingDirectory = text;
        if (SUCCEEDED(link->GetDescription(text, sizeof text))) s.description = text;
        if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &s.iconIndex)))
            s.iconLocation = text;
        link->GetShowCmd(&s.showCommand);
        link->GetHotkey(&s.hotKey);
    } else {
        ADD_FAILURE() << "cannot load " << path;
    }
    if (file) file->Release();
    link->Release();
    return s;
}

// The shortcut files in a folder, sorted.
inline std::vector<std::string> shortcutsIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "*.lnk").c_str(), &found));
    if (find.valid()) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(find.get(), &found));
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline void
setShellFolder(HKEY root, const std::string& name, const std::string& value,
               const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, key.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>(value.size() + 1)));
}

} // namespace automation_test
