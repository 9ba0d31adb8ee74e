// Favorites tests: a Favorites folder built through the shell's own calls (internet
// shortcuts, shell links, channels, hidden entries), and the proof that every item list and
// text the shell handed out came back. Plain Win32, so that the tests using it run on Windows
// too.
#pragma once

#include "platform/win32.h"
#include "support/caller_trace.h"
#include "support/file_times.h"
#include "support/platform_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace favorites_test {

// The user's Favorites folder as the Shell Folders key names it, without a trailing backslash.
inline std::string favoritesFolder() {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, key.out()) == ERROR_SUCCESS)
        RegQueryValueExA(key.get(), "Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(path),
                         &size);
    return path;
}

inline std::string favorite(const std::string& relative) {
    return favoritesFolder() + "\\" + relative;
}

// Creates a folder with the folders above it.
inline void makeFolders(const std::string& path) {
    for (std::size_t pos = path.find('\\', 3);; pos = path.find('\\', pos + 1)) {
        const std::string prefix = path.substr(0, pos);
        if (!DirectoryExistsA(prefix)) CreateDirectoryA(prefix.c_str(), nullptr);
        if (pos == std::string::npos) break;
    }
}

// A file below the Favorites folder, its folders created.
inline void
writeFavorite(const std::string& relative, const std::string& contents,
              const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string path = favorite(relative);
    makeFolders(path.substr(0, path.find_last_of('\\')));
    ASSERT_TRUE(WriteWholeFile(path, contents)) << path;
}

inline void internetShortcut(const std::string& relative, const std::string& url) {
    writeFavorite(relative, "[InternetShortcut]\r\nURL=" + url + "\r\n");
}

// A shell link below the Favorites folder to `target`.
inline void shellLink(const std::string& relative, const std::string& target,
                      const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    IShellLinkA* link = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    IPersistFile* file = nullptr;
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    EXPECT_EQ(S_OK, link->SetPath(target.c_str()));
    EXPECT_EQ(S_OK, file->Save(AnsiToWide(favorite(relative)).c_str(), TRUE));
    file->Release();
    link->Release();
}

// A channel: a system folder whose desktop.ini names the channel shortcut class.
inline void channel(const std::string& relative, const std::string& address,
                    const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    writeFavorite(relative + "\\desktop.ini",
                  "[.ShellClassInfo]\r\nCLSID2={2237021C-E9A7-4940-8A4A-5E9E314E7ED8}\r\n"
                  "[Channel]\r\nCDFURL=" +
                      address + "\r\n");
    ASSERT_TRUE(SetFileAttributesA(favorite(relative).c_str(), FILE_ATTRIBUTE_SYSTEM));
}

using testing_support::createdOf;
using testing_support::kLongAgo;

inline void
setCreationTime(const std::string& path, std::uint64_t ticks,
                const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    EXPECT_TRUE(testing_support::setCreated(path, ticks)) << path;
}

inline std::string fileBytes(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, bytes) ? bytes : std::string("<missing>");
}

// Checks at the end of a test that every block of the task allocator came back.
class AllocationsBack {
  public:
    AllocationsBack() : before_(testing_support::liveTaskAllocations()) {}
    ~AllocationsBack() {
        EXPECT_EQ(before_, testing_support::liveTaskAllocations())
            << "an item list or text of the shell was not given back";
    }

  private:
    std::size_t before_;
};

} // namespace favorites_test
