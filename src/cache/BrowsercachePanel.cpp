#include "cache/BrowsercachePanel.h"

BrowsercachePanel::BrowsercachePanel(QWidget* parent) : SectionPanel(parent, QStringLiteral(":/res/decoration_cache.png")) {
    RichEdit4 = TitleLine();
    Memo4 = Introduction();
    BitBtn3 = NextButton();
}

void BrowsercachePanel::ListCache() { setVisible(true); }
