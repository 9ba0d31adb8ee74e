// The busy window: a progress animation shown modally, a busy note shown while work runs,
// or a progress bar driven by the caller.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QFrame>
#include <QProgressBar>
#include <QTimer>

class TAniIcon;

class TForm2 : public TFormBase {
    Q_OBJECT
  public:
    TForm2();

    TImage* Image1; // picture strip on the right
    TLabel* Label1; // product name
    TAniIcon* AniIcon1;
    TLabel* Label2; // first status line
    TLabel* Label3; // second status line
    QFrame* Panel1; // frame of the progress bar
    QProgressBar* ProgressBar1;
    QTimer* FakeTimer;

    void FakeTimerTimer();

  protected:
    void FormShow() override;
    void FormHide() override;
    void FormClose() override;
};

extern TForm2* Form2;
