#include "settings/BrowserSettings.h"

#include "platform/win32.h"

namespace {

const std::string kAboutBlank = "about:blank";
const std::string kOff = "no";
const std::string kOn = "yes";

// Only the exact text "no" turns a switch off; anything else, nothing included, means on.
bool switchedOn(const std::string& value) {
    return value != kOff;
}

// Upper-cased by the rules of the ANSI code page, as the system compares names.
std::string upper(std::string text) {
    if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return upper(a) == upper(b);
}

// The editor as shown: a command ending in " %1" without it, and a program path in quotes
// without them, so that the shown text names the program's file.
std::string editorDisplay(const std::string& command) {
    if (command.size() < 2 || command[command.size() - 2] != '%') return command;
    std::string shown = command.substr(0, command.size() >= 3 ? command.size() - 3 : 0);
    if (shown.size() >= 2 && shown.front() == '"' && shown.back() == '"')
        shown = shown.substr(1, shown.size() - 2);
    return shown;
}

void writeSwitch(RegStringWriter write, const std::string& key, const std::string& name,
                 const std::string& remembered, bool checked) {
    if (remembered == kOff && checked)
        write(key, name, kOn);
    else if (remembered != kOff && !checked)
        write(key, name, kOff);
}

} // namespace

std::string StartPageDisplay(const std::string& startPage, const TBrowserSettingsTexts& texts) {
    return startPage == kAboutBlank ? kAboutBlank + " " + texts.BlankPageNote : startPage;
}

std::string StartPageOfDisplay(const std::string& shown, const TBrowserSettingsTexts& texts) {
    return shown == StartPageDisplay(kAboutBlank, texts) ? kAboutBlank : shown;
}

std::string EditorCommandFor(const std::string& program) {
    if (program.find(' ') != std::string::npos) return "\"" + program + "\" %1";
    return program + " %1";
}

TShownBrowserSettings ShownAsStored(const TStoredBrowserSettings& stored,
                                    const TBrowserSettingsTexts& texts) {
    TShownBrowserSettings shown;
    shown.StartPage = StartPageDisplay(stored.StoredStartPage, texts);
    shown.EditorCommand = stored.ShownEditorCommand;
    shown.DownloadDirectory = stored.StoredDownloadDirectory;
    shown.AutoSuggest = switchedOn(stored.StoredAutoSuggest);
    shown.FormSuggestPasswords = switchedOn(stored.StoredFormSuggestPasswords);
    shown.UseFormSuggest = switchedOn(stored.StoredUseFormSuggest);
    shown.NotifyDownloadComplete = switchedOn(stored.StoredNotifyDownloadComplete);
    shown.PrintBackground = switchedOn(stored.StoredPrintBackground);
    return shown;
}

TShownBrowserSettings ReadBrowserSettingsFrom(RegStringReader read,
                                              const TBrowserSettingsTexts& texts,
                                              TStoredBrowserSettings& stored) {
    using namespace browser_settings;
    stored.StoredStartPage = read(kMain, "Start Page");

    stored.StoredEditorCommand = read(kEditor, "");
    if (stored.StoredEditorCommand.size() <= 5) {
        // Too short to name a program: shown as missing, and so never written back.
        stored.StoredEditorCommand = texts.NoEditor;
        stored.ShownEditorCommand = texts.NoEditor;
    } else {
        stored.ShownEditorCommand = editorDisplay(stored.StoredEditorCommand);
    }

    stored.StoredDownloadDirectory = read(kInternetExplorer, "Download Directory");
    if (stored.StoredDownloadDirectory.empty())
        stored.StoredDownloadDirectory = texts.NoDownloadFolder;

    stored.StoredAutoSuggest = read(kAutoComplete, "AutoSuggest");
    stored.StoredFormSuggestPasswords = read(kMain, "FormSuggest Passwords");
    stored.StoredUseFormSuggest = read(kMain, "Use FormSuggest");
    stored.StoredNotifyDownloadComplete = read(kMain, "NotifyDownloadComplete");
    stored.StoredPrintBackground = read(kMain, "Print_Background");
    return ShownAsStored(stored, texts);
}

void WriteBrowserSettingsTo(RegStringWriter write, const TShownBrowserSettings& shown,
                            const TStoredBrowserSettings& stored,
                            const TBrowserSettingsTexts& texts) {
    using namespace browser_settings;

    // The shown form of "about:blank" writes it back each time, unchanged.
    if (shown.StartPage == StartPageDisplay(kAboutBlank, texts))
        write(kMain, "Start Page", kAboutBlank);
    else if (!sameIgnoringCase(shown.StartPage, stored.StoredStartPage))
        write(kMain, "Start Page", shown.StartPage);

    // An empty editor names no program; it is not written either.
    if (!sameIgnoringCase(shown.EditorCommand, stored.ShownEditorCommand) &&
        shown.EditorCommand != texts.NoEditor && !shown.EditorCommand.empty())
        write(kEditor, "", EditorCommandFor(shown.EditorCommand));

    if (!sameIgnoringCase(shown.DownloadDirectory, stored.StoredDownloadDirectory))
        write(kInternetExplorer, "Download Directory", shown.DownloadDirectory);

    writeSwitch(write, kAutoComplete, "AutoSuggest", stored.StoredAutoSuggest, shown.AutoSuggest);
    writeSwitch(write, kMain, "FormSuggest Passwords", stored.StoredFormSuggestPasswords,
                shown.FormSuggestPasswords);
    writeSwitch(write, kMain, "Use FormSuggest", stored.StoredUseFormSuggest, shown.UseFormSuggest);
    writeSwitch(write, kMain, "NotifyDownloadComplete", stored.StoredNotifyDownloadComplete,
                shown.NotifyDownloadComplete);
    writeSwitch(write, kMain, "Print_Background", stored.StoredPrintBackground,
                shown.PrintBackground);
}
