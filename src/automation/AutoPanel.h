// The automation page: the cleanings to run at every Windows start. The boxes are a view of
// the start-up shortcut, which the page creates, replaces and removes as they change.
#pragma once

#include "ui/SectionPanel.h"

#include <QCheckBox>
#include <QGroupBox>

class TShellLink;

class AutoPanel : public SectionPanel {
    Q_OBJECT
  public:
    // The page writes its shortcuts through the main window's link component.
    AutoPanel(QWidget* parent, TShellLink* shellLink);

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
    TBitBtn* BitBtn6;

    // Any box changed, by the user or from code: the shortcut follows the boxes.
    void CheckBox4Click();
    // Ticks the boxes an existing shortcut names (each tick runs CheckBox4Click, as a click
    // would); boxes are never unticked here.
    void RestoreAutomationOptions();

  private:
    TShellLink* shellLink_;
};
