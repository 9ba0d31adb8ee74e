// The cookie manager: lists the cookies of the URL cache with a filter on their address,
// shows one cookie's details and deletes the selected cookie or all listed ones.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include <string>

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
    TBitBtn* BitBtn1;     // "zurück"
    TImage* Image1;
    TIECache* IECache1; // also the unattended cookie cleaning's component
    QTimer* CloseTimer;

    void FormShow() override;
    void RefreshCookieList();
    void IECache1Entry(TIECache* Sender, bool& Cancel);
    void ListBox1Click();
    void Label5Click();
    void Label6Click();
    void Edit1Change();
    void CloseTimerTimer();
    void BitBtn1Click();

  private:
    // The text of Edit1 as the current walk compares it.
    std::string filter_;
};

extern TCookieForm* CookieForm;

// A cache time for the details: the standard date-time text without its seconds; the
// empty text for a negative time.
std::string FormatCacheTime(double t);
