// The link editor: shows a favorite's name and address and saves a changed address into the
// favorite's internet shortcut file.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QLineEdit>

#include <string>

class TFavoritesListView;

class TURLChangeForm : public TFormBase {
    Q_OBJECT
  public:
    // The favorites list of the main window's favorites page, whose selected link is edited.
    explicit TURLChangeForm(const TFavoritesListView& favorites);
    ~TURLChangeForm() override;

    TLabel* Label1; // "Bezeichnung des Links:"
    TLabel* Label2; // the favorite's name
    TLabel* Label3; // "Internetadresse:"
    QLineEdit* Edit1;
    TImage* Image5;
    TImage* Image4;
    TLabel* Label5; // "Änderungen speichern"
    TLabel* Label4; // "Änderungen verwerfen"

    // The address as it was when the window was shown.
    std::string OriginalUrl;

    void Label5Click();
    void Label4Click();
    // Puts each link right of its glyph after its caption changed.
    void PlaceLinks();

  protected:
    void FormShow() override;

  private:
    const TFavoritesListView& favorites_;
};

extern TURLChangeForm* URLChangeForm;
