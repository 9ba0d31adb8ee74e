// The automation page: the cleanings to run at every Windows start.
#pragma once

#include "ui/SectionPanel.h"

class AutoPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit AutoPanel(QWidget* parent);

    TRichEdit* RichEdit7;
    TMemo* Memo7;
    TMemo* Memo8;
    TBitBtn* BitBtn6;
};
