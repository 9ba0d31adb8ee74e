// The autocomplete window: the browser's autocomplete of typed addresses, its saving of
// passwords and its autocomplete of forms, one switch each. A click writes the change at once.
#pragma once

#include "controls/stdctrls.h"
#include "settings/BrowserSettings.h"
#include "ui/FormBase.h"

#include <QCheckBox>
#include <QGroupBox>

class TBrowserSettingsStore;

class TForm6 : public TFormBase {
    Q_OBJECT
  public:
    // The store of the settings page, which every click writes through.
    explicit TForm6(TBrowserSettingsStore& settings);
    ~TForm6() override;

    QGroupBox* GroupBox15;
    QCheckBox* CheckBox2; // autocomplete of typed addresses
    TLabel* Label55;
    TLabel* Label56;
    TImage* Image38;

    QGroupBox* GroupBox1;
    QCheckBox* CheckBox1; // password saving
    TLabel* Label1;
    TLabel* Label2;

    QGroupBox* GroupBox2;
    QCheckBox* CheckBox3; // autocomplete of forms
    TLabel* Label3;
    TLabel* Label4;
    TImage* Image4;

    TBitBtn* BitBtn5; // "zurück"

    // The three switches into the boxes (their handlers do not run), and back out.
    void ShowBrowserSettings(const TShownBrowserSettings& shown);
    void TakeBrowserSettings(TShownBrowserSettings& shown) const;

    // All three boxes.
    void CheckBox2Click();
    void Image38Click();
    void Image4Click();
    void BitBtn5Click();

  private:
    TBrowserSettingsStore& settings_;
};

extern TForm6* Form6;
