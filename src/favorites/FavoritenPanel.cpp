#include "favorites/FavoritenPanel.h"

FavoritenPanel::FavoritenPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_favorites.png")) {
    RichEdit5 = TitleLine();
    Memo5 = Introduction();
    BitBtn4 = NextButton();
}
