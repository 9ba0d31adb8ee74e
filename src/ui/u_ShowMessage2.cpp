#include "ui/u_ShowMessage2.h"

#include "ui/ClickSound.h"

TShowMessage2Form* ShowMessage2Form = nullptr;

TShowMessage2Form::TShowMessage2Form()
    : TFormBase(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    SetClientSize(275, 146);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    Image1 = new TImage(this, QStringLiteral(":/res/strip.png"));
    Image1->setGeometry(275 - 38, 0, 38, 146);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Label2 = new TLabel(this, QString(), 6, 14);
    QFont f = Label2->font();
    f.setPixelSize(13);
    Label2->setFont(f);
    Label2->SetAutoSize(false);
    Label2->setWordWrap(true);
    BitBtn2 = new TBitBtn(this, QStringLiteral("weiter"), QStringLiteral(":/res/next.png"));
    BitBtn2->SetLinkStyle();
    BitBtn2->setGeometry(6 + (225 - 100) / 2, 108, 100, 26);
    connect(BitBtn2, &QPushButton::clicked, this, &TShowMessage2Form::BitBtn2Click);
}

void TShowMessage2Form::CentreMessage() {
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const int height = Label2->heightForWidth(225);
    Label2->resize(225, std::max(height, 18));
}

void TShowMessage2Form::FormShow() {
    CentreMessage();
}

void TShowMessage2Form::BitBtn2Click() {
    PlayClickSound();
    Close();
}

void ShowMessage2(const std::string& text) {
    if (!ShowMessage2Form) return;
    ShowMessage2Form->Label2->SetCaption(text);
    ShowMessage2Form->CentreMessage();
    ShowMessage2Form->ShowModal();
}
