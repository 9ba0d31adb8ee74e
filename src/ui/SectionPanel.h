// A section page of the main window: the parts every section shares (title line,
// introduction, decoration, the home-page icon in its small panel, the "weiter" button).
// Each section derives from it and adds its own controls and handlers.
#pragma once

#include "controls/stdctrls.h"

#include <QFrame>

class TAniIcon;

class SectionPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWidth = 483;
    static constexpr int kHeight = 468;
    // Where a section's own controls may go, between the introduction and the bottom row.
    static constexpr int kContentTop = 112;
    static constexpr int kContentBottom = 412;

    SectionPanel(QWidget* parent, const QString& decoration, bool withTitle = true);

    TRichEdit* TitleLine() const { return title_; }
    TMemo* Introduction() const { return intro_; }
    TImage* Decoration() const { return decoration_; }
    TAniIcon* HomeIcon() const { return homeIcon_; }
    TBitBtn* NextButton() const { return next_; }

  private:
    TRichEdit* title_ = nullptr;
    TMemo* intro_ = nullptr;
    TImage* decoration_ = nullptr;
    QFrame* homePanel_ = nullptr;
    TAniIcon* homeIcon_ = nullptr;
    TBitBtn* next_ = nullptr;
};
