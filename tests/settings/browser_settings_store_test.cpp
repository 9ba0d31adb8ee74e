// The browser settings store over a registry of its own: what a read shows for the values it
// finds, and that a write puts back only what the user changed.
#include "settings/BrowserSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace browser_settings;

// The values the store reads, by key and name, and the writes it made, in order.
std::map<std::pair<std::string, std::string>, std::string> g_values;
std::vector<std::string> g_writes;

std::string readValue(const std::string& key, const std::string& name) {
    const auto found = g_values.find({key, name});
    return found == g_values.end() ? std::string() : found->second;
}

void writeValue(const std::string& key, const std::string& name, const std::string& data) {
    g_writes.push_back(key.substr(key.rfind('\\') + 1) + "|" + name + "=" + data);
    g_values[{key, name}] = data;
}

const TBrowserSettingsTexts kTexts{"(leere Seite)", "kein Ordner", "kein Editor"};

class BrowserSettingsStoreTest : public ::testing::Test {
  protected:
    BrowserSettingsStoreTest() {
        g_values.clear();
        g_writes.clear();
    }
    TShownBrowserSettings read() { return ReadBrowserSettingsFrom(&readValue, kTexts, stored); }
    void write(const TShownBrowserSettings& shown) {
        WriteBrowserSettingsTo(&writeValue, shown, stored, kTexts);
    }
    TStoredBrowserSettings stored;
};

} // namespace

// Only an exact "no" switches off; a quoted editor path is shown without quotes and "%1";
// unchanged settings write nothing but the blank start page, which goes back as it was.
TEST_F(BrowserSettingsStoreTest, ReadShowsTheValuesAndAnUnchangedWriteTouchesOnlyTheBlankPage) {
    g_values[{kMain, "Start Page"}] = "about:blank";
    g_values[{kEditor, ""}] = "\"C:\\Program Files\\Ed\\ed.exe\" %1";
    g_values[{kAutoComplete, "AutoSuggest"}] = "no";
    g_values[{kMain, "FormSuggest Passwords"}] = "No";
    g_values[{kMain, "Use FormSuggest"}] = "nein";
    const TShownBrowserSettings shown = read();
    EXPECT_EQ("about:blank (leere Seite)", shown.StartPage);
    EXPECT_EQ("C:\\Program Files\\Ed\\ed.exe", shown.EditorCommand);
    EXPECT_EQ("kein Ordner", shown.DownloadDirectory);
    EXPECT_FALSE(shown.AutoSuggest);
    EXPECT_TRUE(shown.FormSuggestPasswords);
    EXPECT_TRUE(shown.UseFormSuggest);
    EXPECT_TRUE(shown.NotifyDownloadComplete);
    EXPECT_TRUE(shown.PrintBackground);

    write(shown);
    EXPECT_EQ(std::vector<std::string>{"Main|Start Page=about:blank"}, g_writes);
}

// Each change writes its own value: switches as "yes" or "no", the editor as a command with
// "%1" (quoted when its path holds a blank), texts that differ only in case not at all.
TEST_F(BrowserSettingsStoreTest, EachChangeWritesItsOwnValue) {
    g_values[{kMain, "Start Page"}] = "http://start.example/";
    g_values[{kInternetExplorer, "Download Directory"}] = "C:\\Downloads";
    g_values[{kAutoComplete, "AutoSuggest"}] = "no";
    TShownBrowserSettings shown = read();
    shown.StartPage = "HTTP://START.EXAMPLE/";
    shown.DownloadDirectory = "c:\\downloads";
    shown.AutoSuggest = true;
    shown.PrintBackground = false;
    shown.EditorCommand = "C:\\Tools\\edit.exe";
    write(shown);
    EXPECT_EQ(
        (std::vector<std::string>{"command|=C:\\Tools\\edit.exe %1", "AutoComplete|AutoSuggest=yes",
                                  "Main|Print_Background=no"}),
        g_writes);

    g_writes.clear();
    shown = read();
    EXPECT_EQ("C:\\Tools\\edit.exe", shown.EditorCommand);
    shown.EditorCommand = "C:\\Program Files\\Ed\\ed.exe";
    shown.StartPage = "about:blank (leere Seite)";
    write(shown);
    EXPECT_EQ((std::vector<std::string>{"Main|Start Page=about:blank",
                                        "command|=\"C:\\Program Files\\Ed\\ed.exe\" %1"}),
              g_writes);
}

// An editor command too short to name a program shows as missing and is never written back;
// an emptied editor is not written either.
TEST_F(BrowserSettingsStoreTest, AnEditorThatNamesNoProgramIsNeverWritten) {
    g_values[{kEditor, ""}] = "e %1";
    TShownBrowserSettings shown = read();
    EXPECT_EQ("kein Editor", shown.EditorCommand);
    write(shown);
    shown.EditorCommand = "";
    write(shown);
    EXPECT_TRUE(g_writes.empty());
    EXPECT_EQ("e %1", readValue(kEditor, ""));
}
