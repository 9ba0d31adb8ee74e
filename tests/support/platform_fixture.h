// A fresh platform root and program folder for each test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

class TempPlatform {
  public:
    TempPlatform();
    ~TempPlatform();
    TempPlatform(const TempPlatform&) = delete;
    TempPlatform& operator=(const TempPlatform&) = delete;

    // Host folder of the root (holds platform.db and drive_c/).
    const std::string& root() const { return root_; }
    // Host folder standing in for the program folder; the program file is
    // programFolder()/surfkolibri, seen by the platform as a Z: path.
    const std::string& programFolder() const { return programFolder_; }
    // The program folder as a Windows path, with a trailing backslash.
    std::string programFolderWindows() const;
    // Host path of a Windows path on drive C: ("C:\Users\User" -> <root>/drive_c/Users/User).
    std::string hostPath(const std::string& windowsPath) const;
    // Copies the shipped data files (data/) into the program folder.
    void installDataFiles() const;

  private:
    std::string base_;
    std::string root_;
    std::string programFolder_;
};

// Test fixture: every test gets its own TempPlatform.
class PlatformTest : public ::testing::Test {
  protected:
    TempPlatform platform;
};

// Writes a host file, creating its folders.
void writeHostFile(const std::string& hostPath, const std::string& contents);
std::string readHostFile(const std::string& hostPath);

} // namespace testing_support
