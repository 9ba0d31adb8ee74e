// The favorites page: the user's Favorites folder as a list of links, walked folder by folder,
// and the links that open, edit and delete the favorite chosen in it.
#pragma once

#include "ui/SectionPanel.h"

#include <QGroupBox>

#include <string>

class TFavoritesListView;
class TCustomFavoritesListView;

class FavoritenPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit FavoritenPanel(QWidget* parent);

    TRichEdit* RichEdit5;
    TMemo* Memo5;
    QGroupBox* GroupBox9; // "Ihre Favoriten: "
    TLabel* Label43;
    TLabel* Label44;
    TLabel* Label47; // "Eine Ebene höher..."
    TFavoritesListView* FavoritesListView1;
    TImage* Image47;
    TImage* Image49;
    TImage* Image5;
    TImage* Image48;
    TLabel* Label49; // "Link betrachten"
    TLabel* Label5;  // "Link editieren"
    TLabel* Label48; // "Link löschen"
    TBitBtn* BitBtn4;

    void FavoritesListView1Click();
    void FavoritesListView1URLSelected(TCustomFavoritesListView* Sender, const std::string& Url);
    void Label47Click();
    void Label49Click();
    void Label5Click();
    void Label48Click();

    // Puts each link right of its glyph after its caption changed.
    void PlaceLinks();

  private:
    // The activation of the selected row for a link; true when it chose a favorite (a folder
    // opens instead). With no row selected it says that a link must be chosen first.
    bool activateForLink();
    bool favoriteChosen_ = false;
};
