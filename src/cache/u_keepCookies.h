// The keep-list window: the sites whose cookies survive every cleaning, each with the day it
// was put on the list, and a link that takes the selected site off it. Taking a site off
// leaves its cookies where they are. The cookie window opens it.
#pragma once

#include "cache/KeepCookies.h"
#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <string>

class TLongListbox;

class TKeepCookiesForm : public TFormBase {
    Q_OBJECT
  public:
    TKeepCookiesForm();
    ~TKeepCookiesForm() override;

    TLabel* Label1;
    TLabel* Label2;
    TLongListbox* ListBox1; // the kept sites
    TLabel* Label5;         // shown over the empty list: how a site gets on it
    TLabel* Label3;         // taking a site off keeps its cookies
    TImage* Image1;
    TLabel* Label4; // "Ausgewählte Seite von der Liste nehmen"
    TBitBtn* BitBtn1;
    TKeepCookies Keep;

    // Reads the list again and shows it, the line of `host` selected (else none).
    void FillList(const std::string& host = {});
    // The site of the line the user selected, or empty: the focus alone selects none.
    std::string SelectedSite() const;
    void Label4Click();
    void BitBtn1Click();

  protected:
    void FormShow() override;
};

extern TKeepCookiesForm* KeepCookiesForm;
