#include "settings/IEPowerPanel.h"

IEPowerPanel::IEPowerPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_settings.png")) {
    RichEdit6 = TitleLine();
    Memo6 = Introduction();
    BitBtn5 = NextButton();
}
