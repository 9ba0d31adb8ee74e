#include "traces/SicherheitsPanel.h"

SicherheitsPanel::SicherheitsPanel(QWidget* parent) : SectionPanel(parent, QStringLiteral(":/res/decoration_security.png")) {
    RichEdit3 = TitleLine();
    Memo3 = Introduction();
    BitBtn2 = NextButton();
}
