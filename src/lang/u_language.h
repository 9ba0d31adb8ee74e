// The language window: on the first run (no language-choice marker) the user picks the
// interface language and the program restarts with it; otherwise it closes itself at once
// and starts the main window's start-up timer.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QComboBox>
#include <QTimer>

class TForm4 : public TFormBase {
    Q_OBJECT
  public:
    TForm4();

    TLabel* Label1; // "Please select your language:", never translated
    TLabel* Label2; // "Bitte wählen Sie Ihre Sprache aus:", never translated
    QComboBox* ComboBox1;
    TBitBtn* BitBtn1; // OK
    QTimer* Timer1;   // 1 ms, enabled: its first tick comes once the window is shown

    void FormCreate();
    void ComboBox1Change();
    void Timer1Timer();
    void BitBtn1Click();

  protected:
    void FormShow() override;
    void FormClose() override;

  private:
    bool timerEnabled_ = true;
    // A language was chosen, or the marker said it was chosen before.
    bool decided_ = false;
};

extern TForm4* Form4;
