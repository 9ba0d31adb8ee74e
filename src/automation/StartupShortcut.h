// The start-up shortcut: the one record of the cleanings chosen for every Windows start. It
// lies in the user's Startup folder and starts the program with the option letters as its one
// argument. Plain logic over the platform; the automation page calls it.
#pragma once

#include "ui/CleaningResult.h"

#include <string>
#include <vector>

class TShellLink;

// The name every version of the program recognises.
inline constexpr const char* kFixedShortcutName = "Surfkolibri-Auto.lnk";

// The Startup folders named by the Shell Folders key: the user's ("Startup" below
// HKEY_CURRENT_USER) and the one of all users ("Common Startup" below HKEY_LOCAL_MACHINE),
// each with a trailing backslash; empty when the value cannot be read or is 3 characters or
// shorter (such a folder does not count).
std::string UserStartupFolder();
std::string CommonStartupFolder();

// A language's name for the shortcut: its text 169 and ".lnk"; the fixed name when that text
// is empty or holds a character no file name may hold.
std::string TranslatedShortcutName(const std::string& text169);
// The current language's name, under which the program creates its shortcut.
std::string TranslatedShortcutName();
// Every name a shortcut of the program may have: the fixed one, the current language's, then
// those of the other installed languages (so that a change of language leaves none behind).
std::vector<std::string> StartupShortcutNames();

// The option letters of the automation page's boxes, always in the order c b h m e n.
std::string OptionLetters(bool cookies, bool cache, bool history, bool mruLists,
                          bool typedAddresses, bool successMessage);

// Deletes every name of the program's shortcut from both Startup folders; files that cannot
// be deleted (no rights in the folder of all users) stay. In Preview it only counts them.
CleaningResult RemoveStartupShortcuts(CleaningMode mode = CleaningMode::Remove);
// Replaces the program's shortcuts by one in the user's Startup folder that starts the
// program with `options`; the link's working folder, description, show command and hot key
// stay as they are. Without a user's Startup folder nothing is removed or created.
void CreateStartupShortcut(TShellLink& link, const std::string& options);
// What a change of the boxes does: a shortcut for any letters but none or only "n",
// otherwise no shortcut at all.
void ApplyAutomationOptions(TShellLink& link, const std::string& options);
// Loads the first shortcut of the program found, looking in the user's Startup folder first
// and in the one of all users then, and returns its arguments (empty when none was found or
// it could not be read).
std::string LoadAutomationShortcut(TShellLink& link);
