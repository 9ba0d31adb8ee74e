// The browser settings as the program shows them: read from the registry into the settings
// page, the autocomplete window and the folder dialog's start, and written back from the
// controls. The settings page owns the one store; the main window's ReadBrowserSettings and
// WriteBrowserSettings call it, and the windows of the settings are handed it when made.
#pragma once

#include "settings/BrowserSettings.h"

class IEPowerPanel;
class TBrowseForFolderDialog;

class TBrowserSettingsStore {
  public:
    // The page the settings show on, and the dialog whose start is the download folder.
    TBrowserSettingsStore(IEPowerPanel& page, TBrowseForFolderDialog& folderDialog);

    // Reads every value, remembers it, and puts its display form into the controls.
    void ReadBrowserSettings();
    // Writes only what the controls changed since the last read.
    void WriteBrowserSettings();
    // Every change the user makes ends so: written, and read back into the controls.
    void WriteAndReadBack();

    // The values as the last read found them.
    const TStoredBrowserSettings& Stored() const { return stored_; }

    // The texts the display forms use (the standard start page, the default folder, no
    // editor), in the current language.
    static TBrowserSettingsTexts Texts();

  private:
    IEPowerPanel& page_;
    TBrowseForFolderDialog& folderDialog_;
    TStoredBrowserSettings stored_;
};
