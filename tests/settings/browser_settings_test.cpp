// The browser settings store: what the start-up read shows for each kind of registry value, and
// that a change writes exactly the values the user changed (plus the start page's "about:blank"
// form). Values the test puts there as REG_EXPAND_SZ show whether the program wrote them again.
#include "settings/BrowseForFolder.h"
#include "settings_fixture.h"

using namespace settings_test;

namespace {

using BrowserSettingsTest = SettingsWindowTest;

} // namespace

TEST_F(BrowserSettingsTest, NothingSetShowsTheFallbacksAndLeavesOnlyEmptyKeys) {
    for (const char* key : {kInternetExplorer, kMain, kEditor, kAutoComplete})
        ASSERT_FALSE(keyExists(key)) << key;
    start();
    IEPowerPanel* p = page();
    EXPECT_EQ("", p->Label50->Caption());
    EXPECT_EQ(GetText(172), p->Label61->Caption());
    EXPECT_EQ(GetText(171), p->Label54->Caption());
    for (QCheckBox* box :
         {p->CheckBox1, p->CheckBox3, Form6->CheckBox1, Form6->CheckBox2, Form6->CheckBox3})
        EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(GetText(171), Form1->BrowseForFolderDialog1->StartupPath());
    // Reading made the keys and wrote nothing into them.
    for (const char* key : {kInternetExplorer, kMain, kEditor, kAutoComplete}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(keyExists(key)) << key;
        EXPECT_TRUE(valueNames(key).empty()) << key;
    }

    // The user's click writes that switch alone; clicking again turns it back on.
    p->CheckBox3->click();
    EXPECT_EQ(std::vector<std::string>{"Print_Background"}, valueNames(kMain));
    EXPECT_EQ(written("no"), valueOf(kMain, "Print_Background"));
    EXPECT_FALSE(p->CheckBox3->isChecked());
    p->CheckBox3->click();
    EXPECT_EQ(written("yes"), valueOf(kMain, "Print_Background"));
    EXPECT_TRUE(valueNames(kEditor).empty());
    EXPECT_TRUE(valueNames(kInternetExplorer).empty());
    EXPECT_TRUE(valueNames(kAutoComplete).empty());
    EXPECT_EQ(2, clickSounds());
}

TEST_F(BrowserSettingsTest, AboutBlankShowsItsNoteAndIsWrittenBackUnchanged) {
    setValue(kMain, "Start Page", untouched("about:blank"));
    setValue(kMain, "NotifyDownloadComplete", untouched("yes"));
    start(1);
    EXPECT_EQ("about:blank " + GetText(152), page()->Label50->Caption());
    // Any change writes the blank page back as it is.
    page()->CheckBox1->click();
    EXPECT_EQ(written("about:blank"), valueOf(kMain, "Start Page"));
    EXPECT_EQ(written("no"), valueOf(kMain, "NotifyDownloadComplete"));
    EXPECT_EQ("about:blank " + GetText(152), page()->Label50->Caption());

    // In other letters it is an address like any other: shown as it is, never rewritten.
    setValue(kMain, "Start Page", untouched("About:Blank"));
    Form1->ReadBrowserSettings();
    EXPECT_EQ("About:Blank", page()->Label50->Caption());
    page()->CheckBox1->click();
    EXPECT_EQ(untouched("About:Blank"), valueOf(kMain, "Start Page"));
    EXPECT_EQ(written("yes"), valueOf(kMain, "NotifyDownloadComplete"));
}

TEST_F(BrowserSettingsTest, EditorCommandsShowThePrograms) {
    struct Case {
        std::string command;
        std::string shown; // empty: text 172
    };
    const Case cases[] = {
        {"C:\\Windows\\notepad.exe %1", "C:\\Windows\\notepad.exe"},
        {"\"C:\\Program Files\\Kolibri Edit\\kedit.exe\" %1",
         "C:\\Program Files\\Kolibri Edit\\kedit.exe"},
        {"C:\\Tools\\html.exe -n", "C:\\Tools\\html.exe -n"},
        {"ed %1", ""},
        {"a.exe", ""},
    };
    start();
    for (const Case& c : cases) {
        setValue(kEditor, "", untouched(c.command));
        Form1->ReadBrowserSettings();
        EXPECT_EQ(c.shown.empty() ? GetText(172) : c.shown, page()->Label61->Caption())
            << c.command;
        // Changing something else leaves the command alone.
        page()->CheckBox3->click();
        EXPECT_EQ(untouched(c.command), valueOf(kEditor, "")) << c.command;
    }
    // With none at all nothing is written either.
    deleteValue(kEditor, "");
    Form1->ReadBrowserSettings();
    EXPECT_EQ(GetText(172), page()->Label61->Caption());
    page()->CheckBox3->click();
    EXPECT_TRUE(valueNames(kEditor).empty());
}

TEST_F(BrowserSettingsTest, OnlyAnExactNoSwitchesOffAndEachClickWritesItsOwnValue) {
    setValue(kAutoComplete, "AutoSuggest", untouched("No"));
    setValue(kMain, "FormSuggest Passwords", untouched("no"));
    setValue(kMain, "Use FormSuggest", untouched("nein"));
    setValue(kMain, "NotifyDownloadComplete", untouched("no"));
    setValue(kMain, "Print_Background", untouched(""));
    setValue(kMain, "Start Page", untouched("http://www.example.com/"));
    setValue(kInternetExplorer, "Download Directory", untouched("C:\\Users\\User\\Downloads"));
    start();
    EXPECT_TRUE(Form6->CheckBox2->isChecked());
    EXPECT_FALSE(Form6->CheckBox1->isChecked());
    EXPECT_TRUE(Form6->CheckBox3->isChecked());
    EXPECT_FALSE(page()->CheckBox1->isChecked());
    EXPECT_TRUE(page()->CheckBox3->isChecked());

    // "No" counted as on: unchecking writes "no", and nothing else is touched.
    Form6->CheckBox2->click();
    EXPECT_EQ(written("no"), valueOf(kAutoComplete, "AutoSuggest"));
    EXPECT_EQ(untouched("no"), valueOf(kMain, "FormSuggest Passwords"));
    EXPECT_EQ(untouched("nein"), valueOf(kMain, "Use FormSuggest"));
    EXPECT_EQ(untouched("no"), valueOf(kMain, "NotifyDownloadComplete"));
    EXPECT_EQ(untouched(""), valueOf(kMain, "Print_Background"));
    EXPECT_EQ(untouched("http://www.example.com/"), valueOf(kMain, "Start Page"));
    EXPECT_EQ(untouched("C:\\Users\\User\\Downloads"),
              valueOf(kInternetExplorer, "Download Directory"));
    EXPECT_FALSE(Form6->CheckBox2->isChecked());

    // The password switch: off with the click, "yes" with the next.
    Form6->CheckBox1->click();
    EXPECT_EQ(written("yes"), valueOf(kMain, "FormSuggest Passwords"));
    Form6->CheckBox1->click();
    EXPECT_EQ(written("no"), valueOf(kMain, "FormSuggest Passwords"));
    Form6->CheckBox3->click();
    EXPECT_EQ(written("no"), valueOf(kMain, "Use FormSuggest"));
    EXPECT_EQ(untouched(""), valueOf(kMain, "Print_Background"));
    EXPECT_EQ(4, clickSounds());

    // What another program changes in between shows at the next read.
    setValue(kMain, "Print_Background", untouched("no"));
    Form6->CheckBox3->click();
    EXPECT_FALSE(page()->CheckBox3->isChecked());
    EXPECT_EQ(untouched("no"), valueOf(kMain, "Print_Background"));
}
