// The browser settings the settings section shows and changes: start page, HTML editor,
// download folder and five switches, in the registry of the current user. Reading remembers
// each raw value and works out what the controls show; writing compares the controls with what
// was remembered and writes only what differs. Plain logic: the main window reads and writes
// through it and fills its controls.
#pragma once

#include <string>

namespace browser_settings {
// Key paths below HKEY_CURRENT_USER.
inline const std::string kInternetExplorer = "\\Software\\Microsoft\\Internet Explorer";
inline const std::string kMain = kInternetExplorer + "\\Main";
inline const std::string kEditor =
    kInternetExplorer + "\\Default HTML Editor\\shell\\edit\\command";
inline const std::string kAutoComplete =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";
} // namespace browser_settings

// The values as the registry held them at the last read, and the editor as it was shown then.
struct TStoredBrowserSettings {
    std::string StoredStartPage;
    std::string StoredEditorCommand;
    std::string StoredDownloadDirectory;
    std::string StoredAutoSuggest;
    std::string StoredFormSuggestPasswords;
    std::string StoredUseFormSuggest;
    std::string StoredNotifyDownloadComplete;
    std::string StoredPrintBackground;
    std::string ShownEditorCommand;
};

// What the controls show: three texts and five check boxes.
struct TShownBrowserSettings {
    std::string StartPage;
    std::string EditorCommand;
    std::string DownloadDirectory;
    bool AutoSuggest = true;
    bool FormSuggestPasswords = true;
    bool UseFormSuggest = true;
    bool NotifyDownloadComplete = true;
    bool PrintBackground = true;
};

// The language's texts that the display uses.
struct TBrowserSettingsTexts {
    std::string BlankPageNote;    // behind "about:blank"
    std::string NoDownloadFolder; // instead of a missing download folder
    std::string NoEditor;         // instead of a missing editor
};

// The registry reads and writes of the program (values of HKEY_CURRENT_USER as strings; a read
// creates the key and yields "" on any failure, a write fails silently).
using RegStringReader = std::string (*)(const std::string& key, const std::string& value);
using RegStringWriter = void (*)(const std::string& key, const std::string& value,
                                 const std::string& data);

// Reads the eight values into `stored` and returns what the controls show.
TShownBrowserSettings ReadBrowserSettingsFrom(RegStringReader read,
                                              const TBrowserSettingsTexts& texts,
                                              TStoredBrowserSettings& stored);
// What the controls show right after a read that remembered `stored`.
TShownBrowserSettings ShownAsStored(const TStoredBrowserSettings& stored,
                                    const TBrowserSettingsTexts& texts);
// Writes what the controls show where it differs from what the last read remembered.
void WriteBrowserSettingsTo(RegStringWriter write, const TShownBrowserSettings& shown,
                            const TStoredBrowserSettings& stored,
                            const TBrowserSettingsTexts& texts);

// The start page as it is shown: "about:blank" gets the language's note behind it.
std::string StartPageDisplay(const std::string& startPage, const TBrowserSettingsTexts& texts);
// The start page a shown one stands for (the note taken off again).
std::string StartPageOfDisplay(const std::string& shown, const TBrowserSettingsTexts& texts);
// The editor command written for a chosen program: the program, quoted when its path holds a
// blank, followed by " %1".
std::string EditorCommandFor(const std::string& program);
