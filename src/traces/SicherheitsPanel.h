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

    // "Typed URLs: "
    QGroupBox* GroupBox6;
    TLabel* Label27;
    TLabel* Label28;
    TLabel* Label29;
    TImage* Image17; // the typed-URL explanation

    void Label16Click();
    void Image13Click();
    void Image17Click();

    // Column geometry of the group boxes.
    static constexpr int kColumnWidth = 222;
    static constexpr int kLeftColumn = 16;
    static constexpr int kRightColumn = 245;
    static constexpr int kLineHeight = 16;
};
