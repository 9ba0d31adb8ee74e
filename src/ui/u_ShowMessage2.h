// The program's own message window, used for every message it shows.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <string>

class TShowMessage2Form : public TFormBase {
    Q_OBJECT
  public:
    TShowMessage2Form();

    TLabel* Label2;   // the message
    TImage* Image1;   // picture strip on the right
    TBitBtn* BitBtn2; // "weiter"

    void BitBtn2Click();
    // Width 225, centred, as the window shows every message.
    void CentreMessage();
    // The message as it was given, before the window broke its long lines.
    std::string Message() const;

  protected:
    void FormShow() override;

  private:
    QString given_;
    QString shown_;
};

extern TShowMessage2Form* ShowMessage2Form;

// Shows the text modally in the message window; returns when the user has pressed "weiter"
// or closed the window.
void ShowMessage2(const std::string& text);

// Asks before something the user chose is deleted or changed: the question, then what it acts
// on in quotes on a line of its own, in the system's box with Yes and No. No is the default,
// so that Enter, Esc and the close box change nothing; true only for Yes.
bool AskFirst(const std::string& question, const std::string& what, const std::string& caption);
