// The Typed URLs window: the addresses typed into the browser's address bar, as the registry
// keeps them, and the clearings of that list.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QListWidget>
#include <QTimer>

class TLongListbox;

class TTypedURLsForm : public TFormBase {
    Q_OBJECT
  public:
    TTypedURLsForm();
    ~TTypedURLsForm() override;

    TLabel* Label17;
    TLabel* Label1;
    TLongListbox* Listbox2; // the addresses
    QListWidget* ListBox1;  // hidden: the value names read from the key
    TImage* Image1;
    TLabel* Label6; // "TypedURL-Liste entleeren"
    TBitBtn* BitBtn1;
    QTimer* Timer1; // 200 ms after showing: fills the list

    void Timer1Timer();
    void Label6Click();
    void BitBtn1Click();

  protected:
    void FormShow() override;
    void FormHide() override;
};

extern TTypedURLsForm* TypedURLsForm;

// The main window's clearing (Label23Click): deletes every value of the key, runs the busy
// window's progress and reports that the list is empty.
void ClearTypedUrlsWithProgress();
