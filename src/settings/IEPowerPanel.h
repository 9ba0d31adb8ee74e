// The browser settings page: start page, autocomplete, HTML editor, downloads, download folder
// and printing, each in its group with its explanations and links. Every change the user
// makes is written and read back at once.
#pragma once

#include "settings/BrowserSettingsStore.h"
#include "ui/SectionPanel.h"

#include <QCheckBox>
#include <QGroupBox>

class TOpenDialog;

class IEPowerPanel : public SectionPanel {
    Q_OBJECT
  public:
    // The two dialogs are the main window's: the editor's file dialog (OpenDialog1) and the
    // download folder's (BrowseForFolderDialog1).
    IEPowerPanel(QWidget* parent, TOpenDialog& editorDialog, TBrowseForFolderDialog& folderDialog);

    // The settings as the registry holds them, shown here and in the autocomplete window.
    TBrowserSettingsStore BrowserSettings;

    TRichEdit* RichEdit6;
    TMemo* Memo6;
    TBitBtn* BitBtn5;

    // Start page.
    QGroupBox* GroupBox10;
    TLabel* Label7;
    TLabel* Label50; // the start page; opens it
    TLabel* Label45;
    TLabel* Label46; // "hier": the start-page window

    // Autocomplete.
    QGroupBox* GroupBox15;
    TLabel* Label55;
    TLabel* Label56;
    TImage* Image37; // the autocomplete window

    // HTML editor.
    QGroupBox* GroupBox13;
    TLabel* Label58;
    TLabel* Label61; // the editor; runs it
    TLabel* Label59;
    TLabel* Label60; // "hier": choose another editor

    // Downloads.
    QGroupBox* GroupBox14;
    QCheckBox* CheckBox1;
    TLabel* Label63;
    TLabel* Label62;
    TImage* Image36; // its explanation

    // Download folder.
    QGroupBox* GroupBox12;
    TLabel* Label51;
    TLabel* Label54; // the folder
    TLabel* Label52;
    TLabel* Label53; // "hier": choose another folder

    // Printing.
    QGroupBox* GroupBox16;
    QCheckBox* CheckBox3;
    TLabel* Label57;
    TLabel* Label64;
    TImage* Image40; // its explanation

    // The settings into the controls, and the controls' state out of them.
    void ShowBrowserSettings(const TShownBrowserSettings& shown);
    void TakeBrowserSettings(TShownBrowserSettings& shown) const;

    void Label50Click();
    void Label46Click();
    void Label61Click();
    void Label60Click();
    void Label53Click();
    void CheckBox1Click();
    void CheckBox3Click();
    void Image36Click();
    void Image40Click();
    void Image37Click();

    // Geometry of the groups: one column, lines of 15 pixels.
    static constexpr int kGroupLeft = 16;
    static constexpr int kGroupWidth = kWidth - 32;
    static constexpr int kFirstGroupTop = 104;
    static constexpr int kLineHeight = 15;
    static constexpr int kPadding = 5;
    static constexpr int kGroupGap = 3;
    static constexpr int GroupHeight(int lines) { return 2 * kPadding + lines * kLineHeight; }

  private:
    TOpenDialog& editorDialog_;
    TBrowseForFolderDialog& folderDialog_;
};
