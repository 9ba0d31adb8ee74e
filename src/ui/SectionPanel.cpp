#include "ui/SectionPanel.h"

#include "controls/aniicon.h"
#include "ui/FormBase.h"

#include <QFile>

SectionPanel::SectionPanel(QWidget* parent, const QString& decoration, bool withTitle)
    : QWidget(parent) {
    setGeometry(149, 0, kWidth, kHeight);
    MakeWhite(this);
    decoration_ = new TImage(this, decoration);
    decoration_->move(kWidth - decoration_->width() - 12, 10);
    if (withTitle) {
        title_ = new TRichEdit(this);
        title_->setGeometry(16, 14, kWidth - 32 - decoration_->width(), 26);
        intro_ = new TMemo(this);
        intro_->setGeometry(16, 46, kWidth - 40 - decoration_->width(), 64);
    }
    homePanel_ = new QFrame(this);
    homePanel_->setGeometry(16, kHeight - 50, 36, 36);
    homePanel_->setToolTip(QStringLiteral("Homepage - Kravonel"));
    homeIcon_ = new TAniIcon(homePanel_);
    homeIcon_->setGeometry(2, 2, 32, 32);
    QFile ani(QStringLiteral(":/res/home.ani"));
    if (ani.open(QIODevice::ReadOnly))
        homeIcon_->AniFile()->LoadFromData(ani.readAll().toStdString());
    homeIcon_->setTransparent(true);
    homeIcon_->setCursor(Qt::PointingHandCursor);
    homeIcon_->setToolTip(homePanel_->toolTip());
    homeIcon_->setAnimated(true);
    next_ = new TBitBtn(this, QStringLiteral("weiter"), QStringLiteral(":/res/next.png"));
    next_->setGeometry(kWidth - 124, kHeight - 44, 108, 28);
}
