// The splash shown while the windows are created at start-up.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QFrame>

class TForm3 : public TFormBase {
    Q_OBJECT
  public:
    TForm3();

    TImage* Image1;
    QFrame* Panel1;
    TLabel* Label1; // the product name
};

extern TForm3* Form3;
