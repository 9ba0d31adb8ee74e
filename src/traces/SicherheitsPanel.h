// The security and privacy page: the groups for cookies, history, typed addresses,
// the MRU lists and other browsers.
#pragma once

#include "shell/SectionPanel.h"

class SicherheitsPanel : public SectionPanel {
    Q_OBJECT
public:
    explicit SicherheitsPanel(QWidget* parent);

    TRichEdit* RichEdit3;
    TMemo* Memo3;
    TBitBtn* BitBtn2;
};
