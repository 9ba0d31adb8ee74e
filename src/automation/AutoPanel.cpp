#include "automation/AutoPanel.h"

AutoPanel::AutoPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_auto.png")) {
    RichEdit7 = TitleLine();
    Memo7 = Introduction();
    BitBtn6 = NextButton();
    Memo8 = new TMemo(this);
    Memo8->setGeometry(16, kContentTop, kWidth - 32, 60);
}
