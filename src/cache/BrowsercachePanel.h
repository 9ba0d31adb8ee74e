// The browser cache page.
#pragma once

#include "shell/SectionPanel.h"

class BrowsercachePanel : public SectionPanel {
    Q_OBJECT
public:
    explicit BrowsercachePanel(QWidget* parent);

    TRichEdit* RichEdit4;
    TMemo* Memo4;
    TBitBtn* BitBtn3;

    // Opens the section: shows the page and lists the cache.
    void ListCache();
};
