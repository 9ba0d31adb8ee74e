// The security and privacy page: the groups for cookies, history, typed addresses, the MRU
// lists and other browsers, each with its explanations and links.
#pragma once

#include "ui/SectionPanel.h"

#include <QGroupBox>

class SicherheitsPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit SicherheitsPanel(QWidget* parent);

    TRichEdit* RichEdit3;
    TMemo* Memo3;
    TBitBtn* BitBtn2;

    // "Browsercookies: "
    QGroupBox* GroupBox4;
    TLabel* Label6;
    TLabel* Label13;
    TImage* Image13; // the cookie explanation
    TLabel* Label14;
    TLabel* Label15;
    TLabel* Label16; // "hier": the cookie window

    // "History: "
    QGroupBox* GroupBox5;
    TLabel* Label17;
    TLabel* Label18;
    TLabel* Label19;
    TLabel* Label21; // "hier": the History window
    TLabel* Label20;
    TLabel* Label22; // "hier": empties the history

    // "Typed URLs: "
    QGroupBox* GroupBox6;
    TLabel* Label27;
    TLabel* Label28;
    TLabel* Label29;
    TImage* Image17; // the typed-URL explanation
    TLabel* Label26;
    TLabel* Label30;
    TLabel* Label25; // "hier": the Typed URLs window
    TLabel* Label24;
    TLabel* Label31;
    TLabel* Label23; // "hier": empties the typed addresses

    // "MRU-Listen: "
    QGroupBox* GroupBox7;
    TLabel* Label32;
    TLabel* Label33;
    TLabel* Label34;
    TLabel* Label35;
    TLabel* Label36;
    TLabel* Label37;
    TLabel* Label38; // "hier": the MRU window

    // "Other Browsers: "
    QGroupBox* GroupBox18;
    TLabel* Label8;
    TLabel* Label66;
    TLabel* Label65;
    TLabel* Label67;
    TLabel* Label68;
    TLabel* Label69; // "hier": the other-browsers window

    void Label16Click();
    void Image13Click();
    void Image17Click();

    // Column geometry of the group boxes: two columns, groups stacked in each with a small gap.
    static constexpr int kColumnWidth = 222;
    static constexpr int kLeftColumn = 16;
    static constexpr int kRightColumn = 245;
    static constexpr int kLineHeight = 16;
    static constexpr int kFirstLine = 22;
    static constexpr int kGroupGap = 4;
    static constexpr int GroupHeight(int lines) { return kFirstLine + lines * kLineHeight + 6; }
};
