// The start-page window: the address to take as the browser's start page, saved or discarded.
// Closing it by its close box keeps what was typed, as saving does.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QLineEdit>

class TBrowserSettingsStore;

class TChangeStartPageForm : public TFormBase {
    Q_OBJECT
  public:
    // The store whose start page "verwerfen" puts back.
    explicit TChangeStartPageForm(const TBrowserSettingsStore& settings);
    ~TChangeStartPageForm() override;

    TLabel* Label3;
    QLineEdit* Edit1; // the address
    TLabel* Label5;   // "Änderungen speichern"
    TLabel* Label4;   // "Änderungen verwerfen"

    void Label5Click();
    void Label4Click();

  private:
    const TBrowserSettingsStore& settings_;
};

extern TChangeStartPageForm* ChangeStartPageForm;
