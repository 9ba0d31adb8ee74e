// The cookie manager: lists the cookies of the URL cache with a filter on their address,
// shows one cookie's details and deletes the selected cookie or all listed ones. The cookies
// of the sites on the keep-list are marked in the list; a link puts the selected cookie's
// site on the list or takes it off, another shows the list. Nothing is selected for the user;
// every deletion names what goes and asks first, and deleting all listed cookies leaves the
// kept ones.
#pragma once

#include "cache/KeepCookies.h"
#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include <string>

class QListWidgetItem;
class TIECache;
class TLongListbox;

class TCookieForm : public TFormBase {
    Q_OBJECT
  public:
    TCookieForm();
    ~TCookieForm() override;

    TLabel* Label1;
    TLabel* Label2;
    TLongListbox* Listbox1;
    TLabel* Label11;      // count of listed cookies
    QGroupBox* GroupBox2; // "Filter:"
    QLineEdit* Edit1;
    TLabel* Label3;
    TLabel* Label4;
    QGroupBox* GroupBox1; // "Informationen zum Cookie: "
    TLabel* Label7;       // hit count
    TLabel* Label8;       // size
    TLabel* Label9;       // last access
    TLabel* Label10;      // expiry
    TLabel* Label5;       // "Ausgewählten Cookie entfernen"
    TLabel* Label6;       // "Alle gefundenen Cookies entfernen"
    TImage* Image2;
    TLabel* Label12; // "Cookies dieser Seite behalten" / "... nicht mehr behalten"
    TImage* Image3;
    TLabel* Label13;  // "Seiten, deren Cookies bleiben": the keep-list window
    TBitBtn* BitBtn1; // "zurück"
    TImage* Image1;
    TIECache* IECache1; // also the unattended cookie cleaning's component
    QTimer* CloseTimer;
    TKeepCookies Keep; // read again with every refresh of the list

    void FormShow() override;
    void RefreshCookieList();
    void IECache1Entry(TIECache* Sender, bool& Cancel);
    void ListBox1Click();
    void Label5Click();
    void Label6Click();
    void Label12Click();
    void Label13Click();
    // The cache URL of a listed line (its text may carry the keep mark before it).
    static std::string UrlOf(const QListWidgetItem* item);
    // The line the user selected, or nullptr: the focus alone selects none.
    const QListWidgetItem* SelectedItem() const;
    // Whether the cookie of a listed line belongs to a kept site.
    bool IsKept(const QListWidgetItem* item) const;
    void Edit1Change();
    void CloseTimerTimer();
    void BitBtn1Click();

  private:
    // Refreshes the list with the line of `url` selected again where it is still listed.
    void refreshKeeping(const std::string& url);
    // The text of Edit1 as the current walk compares it.
    std::string filter_;
};

extern TCookieForm* CookieForm;

// A cache time for the details: the standard date-time text without its seconds; the
// empty text for a negative time.
std::string FormatCacheTime(double t);
