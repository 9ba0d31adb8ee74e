// The automation page: the cleanings to run at every Windows start. The boxes are a view of
// the start-up shortcut, which the page creates, replaces and removes as they change.
#pragma once

#include "ui/SectionPanel.h"

#include <QCheckBox>
#include <QGroupBox>

#include <string>

class TIECache;
class TShellLink;

class AutoPanel : public SectionPanel {
    Q_OBJECT
  public:
    // The page writes its shortcuts through the main window's link component; its preview
    // counts the cache through the main window's cache component, as the run cleans it.
    AutoPanel(QWidget* parent, TShellLink* shellLink, TIECache* mainCache);

    TRichEdit* RichEdit7;
    TMemo* Memo7;
    QGroupBox* GroupBox17;
    QCheckBox* CheckBox4; // cookies, "c"
    QCheckBox* CheckBox5; // cache, "b"
    QCheckBox* CheckBox6; // history, "h"
    QCheckBox* CheckBox7; // MRU lists, "m"
    QCheckBox* CheckBox8; // typed addresses, "e"
    QCheckBox* CheckBox9; // success message, "n"
    TMemo* Memo8;
    TLabel* LastRunLabel; // the last unattended run, from its report
    TLabel* ReportsLink;  // opens the report window with every recorded run
    TLabel* PreviewLink;  // what the ticked cleanings would remove now
    TBitBtn* BitBtn6;

    // Any box changed, by the user or from code: the shortcut follows the boxes.
    void CheckBox4Click();
    // Ticks the boxes an existing shortcut names (each tick runs CheckBox4Click, as a click
    // would); boxes are never unticked here.
    void RestoreAutomationOptions();
    // Reads the report again and shows its last run (nothing when there is none).
    void ShowLastRun();
    void ReportsLinkClick();
    void PreviewLinkClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    std::string tickedOptions() const;

    TShellLink* shellLink_;
    TIECache* mainCache_;
};
