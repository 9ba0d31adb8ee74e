#include "settings/BrowserSettingsStore.h"

#include "lang/TQwTrans2.h"
#include "settings/BrowseForFolder.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_autocomplete.h"
#include "ui/MyTricks.h"

namespace {

// The texts of the language file shown here.
constexpr int kBlankPageText = 152;
constexpr int kNoDownloadFolderText = 171;
constexpr int kNoEditorText = 172;

} // namespace

TBrowserSettingsStore::TBrowserSettingsStore(IEPowerPanel& page,
                                             TBrowseForFolderDialog& folderDialog)
    : page_(page), folderDialog_(folderDialog) {}

TBrowserSettingsTexts TBrowserSettingsStore::Texts() {
    return {GetText(kBlankPageText), GetText(kNoDownloadFolderText), GetText(kNoEditorText)};
}

void TBrowserSettingsStore::ReadBrowserSettings() {
    const TShownBrowserSettings shown =
        ReadBrowserSettingsFrom(&ReadUserRegString, Texts(), stored_);
    // Setting the boxes is no click: their handlers write only what the user changes.
    page_.ShowBrowserSettings(shown);
    if (Form6) Form6->ShowBrowserSettings(shown);
    folderDialog_.SetStartupPath(page_.Label54->Caption());
}

void TBrowserSettingsStore::WriteBrowserSettings() {
    const TBrowserSettingsTexts texts = Texts();
    TShownBrowserSettings shown = ShownAsStored(stored_, texts);
    page_.TakeBrowserSettings(shown);
    if (Form6) Form6->TakeBrowserSettings(shown);
    WriteBrowserSettingsTo(&WriteUserRegString, shown, stored_, texts);
}

void TBrowserSettingsStore::WriteAndReadBack() {
    WriteBrowserSettings();
    ReadBrowserSettings();
}
