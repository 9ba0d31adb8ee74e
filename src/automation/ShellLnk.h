// TShellLink: a plain description of one shell shortcut (.lnk), read from and written to
// shortcut files through the shell's link object.
#pragma once

#include <string>

class TShellLink {
  public:
    // Initialises COM for the thread and starts from the defaults of an empty target.
    TShellLink();
    ~TShellLink();
    TShellLink(const TShellLink&) = delete;
    TShellLink& operator=(const TShellLink&) = delete;

    std::string Path;
    std::string WorkingDirectory;
    std::string Description;
    std::string Arguments;
    std::string IconLocation;
    int IconIndex = 0;
    int ShowCmd = 1;
    // Only the low 16 bits are written to a shortcut.
    int HotKey = 0;

    // A new shortcut to Target: its folder as working folder, its file name as description.
    void SetDefaults(const std::string& Target, const std::string& Args);
    // Reads the file into the properties; false (and the defaults of an empty target) when it
    // cannot be read. A field the file lacks keeps its default.
    bool LoadFromFile(const std::string& FileName);
    // Writes the properties as a shortcut file; false when a field was refused or the file
    // could not be saved.
    bool SaveToFile(const std::string& FileName);
};
