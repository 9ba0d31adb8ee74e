// The MRU window: the commands of the Run box and the recent documents, with their total,
// and the clearings of both lists.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QGroupBox>
#include <QListWidget>
#include <QTimer>

class TLongListbox;

class TMruForm : public TFormBase {
    Q_OBJECT
  public:
    TMruForm();
    ~TMruForm() override;

    TLabel* Label17;
    TLabel* Label1;
    TLongListbox* Listbox2; // Run list entries, then recent documents
    QListWidget* ListBox1;  // hidden: the value names of the Run list key
    TLabel* Label2;         // the total, red
    QGroupBox* GroupBox1;   // the notice
    TImage* Image2;
    TLabel* Label7;
    TLabel* Label8;
    TLabel* Label9;
    TLabel* Label10;
    TLabel* Label11;
    TLabel* Label12;
    TImage* Image1;
    TLabel* Label6; // "MRU-Listen entleeren"
    TBitBtn* BitBtn1;
    QTimer* leerTimer; // 100 ms after showing: closes the window when nothing was found

    void leerTimerTimer();
    void Label6Click();
    void BitBtn1Click();

  protected:
    void FormShow() override;
    void FormHide() override;
};

extern TMruForm* MruForm;
