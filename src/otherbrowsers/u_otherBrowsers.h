// The other-browsers window: cleans the cache, the cookies or the history of Opera,
// Mozilla (with Netscape) and Firefox, one link each. The profile lookups and cleanings it
// calls are in OtherBrowserProfiles.h, which the unattended run uses too.
#pragma once

#include "controls/stdctrls.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "ui/FormBase.h"

#include <QGroupBox>

#include <functional>

class TOtherBrowserForm : public TFormBase {
    Q_OBJECT
  public:
    TOtherBrowserForm();
    ~TOtherBrowserForm() override;

    QGroupBox* GroupBox1; // "Opera: "
    TImage* Image1;
    TLabel* Label1;       // cache
    TLabel* Label2;       // cookies
    TLabel* Label3;       // history
    QGroupBox* GroupBox2; // "Mozilla & Netscape: "
    TImage* Image2;
    TLabel* Label6;       // cache
    TLabel* Label4;       // cookies
    TLabel* Label5;       // history
    QGroupBox* GroupBox3; // "Firefox: "
    TImage* Image3;
    TLabel* Label9;   // cache
    TLabel* Label7;   // cookies
    TLabel* Label8;   // history
    TBitBtn* BitBtn1; // "zurück"

    void Label1Click();
    void Label2Click();
    void Label3Click();
    void Label6Click();
    void Label4Click();
    void Label5Click();
    void Label9Click();
    void Label7Click();
    void Label8Click();
    void BitBtn1Click();

  protected:
    // Each showing enables exactly the links whose browser is found now.
    void FormShow() override;

  private:
    using Cleaning = CleaningResult (*)(const std::string& folder, ProfileParts parts,
                                        CleaningMode mode);
    enum class Part { Cache, Cookies, History };
    // One link's work under the busy window: looks the profile up again (it may have gone
    // since the window was shown) and cleans the link's part of it.
    void cleanWithNote(const QGroupBox* group, const TLabel* link,
                       const std::function<std::string()>& lookup, Cleaning cleaning, Part part);
};

extern TOtherBrowserForm* OtherBrowserForm;
