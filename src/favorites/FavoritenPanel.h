// The favorites page.
#pragma once

#include "ui/SectionPanel.h"

class FavoritenPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit FavoritenPanel(QWidget* parent);

    TRichEdit* RichEdit5;
    TMemo* Memo5;
    TBitBtn* BitBtn4;
};
