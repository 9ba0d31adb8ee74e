// The shared utilities of the program: the per-user data folder and the rule that finds a data
// file, small file and shell helpers, and the registry reads and writes the windows use.
// Every operation swallows its failures and reports them only through its result.
#pragma once

#include "platform/win32.h"
#include "ui/CleaningResult.h"

#include <string>
#include <vector>

inline const std::string ProductName = "Surfkolibri";
inline const std::string ProgramVersion = "2.8";
// The program's own key below HKEY_CURRENT_USER.
inline const std::string ProgramKey = "\\Software\\Kravonel\\Surfkolibri";

// Folder of the running program file, with a trailing backslash.
std::string ProgramFolder();

// Lets pending window messages be processed, `times` rounds; does nothing before the
// application object exists. The message loop's side: ui/MessageLoop.cpp (Qt), or the
// thread's message queue on Windows (ui/windows/).
void ProcessMessages(int times = 1);

// The maker folder of the user's local application data plus `name` and a backslash; the
// program folder stands in for the maker folder when the profile names no such folder.
std::string GetDataFolder(const std::string& name);
// The data folder's copy when there is one, else the program folder's, else the data folder's
// path (so that a writer creates it there).
std::string GetDataFilePath(const std::string& name, const std::string& file);
bool EnsureDataFolders(const std::string& name, bool wipe);
// Copies each listed file from the program folder into the data folder unless the data folder
// already holds it.
bool ProvideDataFiles(const std::string& name, bool wipe, const std::vector<std::string>& files);

bool FolderExists(const std::string& path);
void RunFile(const std::string& path);
void OpenURL(const std::string& target);
// The root an absolute path begins with, forward slashes read as backslashes: "C:\" for a
// drive path (its letter as given), "\\server\share\" for a network path. Empty for a path
// relative to the current folder or drive ("Temp", "\Temp", "C:Temp"), a network path without
// a share and a device path ("\\.\", "\\?\").
std::string AbsolutePathRoot(const std::string& path);
// Deletes the folder with everything in it, hidden, system and read-only entries included.
// Forward slashes count as backslashes. A root, of a drive or of a network share, keeps
// itself; links are removed, never followed; a file of the folder's name stays. Stops at the
// first failure.
void DeleteFolderTree(const std::string& folder);
// Removes everything inside the folder and keeps the folder, in the same way, but passes over
// what refuses to go and goes on; counts the files (and their bytes) removed and those that
// stayed. In Preview it only counts.
CleaningResult CleanFolderContents(const std::string& folder, CleaningMode mode);
// Deletes one file, counting it with its bytes, or counting why it stayed; a file that is not
// there counts as nothing. In Preview it only counts.
void CleanFile(const std::string& path, CleaningMode mode, CleaningResult& result);
std::vector<std::string> ListSubfolders(const std::string& folder);

// Key paths begin with a backslash and lie below `root`. Keys are opened with full access and
// created when missing; any failure reads as the empty string.
std::string RegReadString(HKEY root, const std::string& key, const std::string& value);
std::string ReadFirstLine(const std::string& path);
void WriteFileIfMissing(const std::string& path, const std::string& text);

std::string ReadUserRegString(const std::string& key, const std::string& value);
void WriteUserRegString(const std::string& key, const std::string& value, const std::string& data);
std::string ReadMachineRegString(const std::string& key, const std::string& value);
