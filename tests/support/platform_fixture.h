// A fresh machine for each test: on the hosted platform a new platform root and program
// folder, removed afterwards; on Windows a new profile folder that the user's shell folders
// point into for the test, a program folder beside it, and the test keys of the registry
// removed before and after (tests keep their keys below Software\Kravonel).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace testing_support {

class TempPlatform {
  public:
    TempPlatform();
    ~TempPlatform();
    TempPlatform(const TempPlatform&) = delete;
    TempPlatform& operator=(const TempPlatform&) = delete;

    // Host folder of the root (holds platform.db and drive_c/). Hosted platform only.
    const std::string& root() const { return root_; }
    // Host folder standing in for the program folder; the program file is
    // programFolder()/surfkolibri, seen by the platform as a Z: path.
    const std::string& programFolder() const { return programFolder_; }
    // The program folder as a Windows path, with a trailing backslash.
    std::string programFolderWindows() const;
    // Host path of a Windows path ("C:\Users\User" -> <root>/drive_c/Users/User on the hosted
    // platform; the path itself on Windows).
    std::string hostPath(const std::string& windowsPath) const;
    // The user's profile folder as a Windows path, without a trailing backslash: the folder
    // the user's shell folders (Desktop, Favorites, Documents, AppData\Roaming\...\Recent, ...)
    // lie in, with the same names below it on either side.
    std::string profile() const;
    // A network share for the test to fill, as "\\server\share" without a trailing backslash,
    // or empty where the machine reaches none: the hosted platform has no network (it answers
    // every share as out of reach); under Wine it is a folder among the prefix's UNC devices,
    // removed when the test ends.
    std::string share() const;
    // Copies the shipped data files (data/) into the program folder.
    void installDataFiles() const;
    // Gives the program administrator rights where the machine lets a test choose (the hosted
    // platform's setting); on Windows the account has them or not. Whether it has them now.
    bool grantAdministrator() const;
    // Drops what the process holds of the machine's state, so that the next call reads what
    // was stored (a new database connection on the hosted platform; nothing to drop on
    // Windows).
    void reopen() const;

  private:
    std::string base_;
    std::string root_;
    std::string programFolder_;
    std::string profile_;
    mutable std::string shareFolder_;
};

// Test fixture: every test gets its own TempPlatform.
class PlatformTest : public ::testing::Test {
  protected:
    TempPlatform platform;
};

// Blocks of the task allocator (CoTaskMemAlloc, the shell's allocator) not given back yet:
// the platform's count on the hosted platform, a spy on Windows' allocator there.
std::size_t liveTaskAllocations();

// Writes a host file, creating its folders.
void writeHostFile(const std::string& hostPath, const std::string& contents);
std::string readHostFile(const std::string& hostPath);
// Sets a host file's last write and access times (FILETIME ticks, UTC).
void setHostFileTimes(const std::string& hostPath, std::uint64_t ticks);

} // namespace testing_support
