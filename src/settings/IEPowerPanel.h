// The browser settings page.
#pragma once

#include "ui/SectionPanel.h"

class IEPowerPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit IEPowerPanel(QWidget* parent);

    TRichEdit* RichEdit6;
    TMemo* Memo6;
    TBitBtn* BitBtn5;
};
