#include "shell/WillkommenPanel.h"

WillkommenPanel::WillkommenPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_welcome.png")) {
    RichEdit1 = TitleLine();
    Memo1 = Introduction();
    BitBtn1 = NextButton();
    // The welcome texts are long: they take the full width below the title, and the
    // decoration moves down beside the links.
    Memo1->setGeometry(16, 46, kWidth - 32, 80);
    RichEdit2 = new TRichEdit(this);
    RichEdit2->setGeometry(16, 138, kWidth - 32, 26);
    Memo2 = new TMemo(this);
    Memo2->setGeometry(16, 168, kWidth - 32, 52);
    Decoration()->move(kWidth - Decoration()->width() - 16, 240);

    Label1 = new TLabel(this, QStringLiteral("Dokumentation lesen"), 40, 246);
    Label2 = new TLabel(this, QStringLiteral("Hilfe starten"), 40, 270);
    Label3 = new TLabel(this, QStringLiteral("Unsere Homepage"), 40, 294);
    for (TLabel* link : {Label1, Label2, Label3}) {
        link->SetLink(true);
        auto* arrow = new TImage(this, QStringLiteral(":/res/link.png"));
        arrow->move(20, link->y() + (link->height() - arrow->height()) / 2);
    }
    Label39 = new TLabel(this, QStringLiteral("Präsentiert von:"), 40, 326);
    Label39->setVisible(false);
    Image1 = new TImage(this);
    Image1->setGeometry(40, 344, 200, 60);
    Image1->setScaledContents(false);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}
