// The other-browsers window: cleans the cache, the cookies or the history of Opera,
// Mozilla (with Netscape) and the earlier Firefox (left column), and of today's Firefox,
// Chrome and Edge (right column), one link each. The profile lookups and cleanings it calls are
// in OtherBrowserProfiles.h and BrowserCleaning.h, which the unattended run uses too.
#pragma once

#include "controls/stdctrls.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "ui/FormBase.h"

#include <QGroupBox>

#include <functional>
#include <vector>

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
    TLabel* Label9; // cache
    TLabel* Label7; // cookies
    TLabel* Label8; // history
    // Today's browsers: each link shows what its cleaning would remove, where it is cheap to
    // count, as "(N)" after its caption.
    QGroupBox* GroupBox4; // "Firefox (today's profiles): "
    TImage* Image4;
    TImage* Image5;
    TImage* Image6;
    TLabel* Label10;      // cache
    TLabel* Label11;      // cookies
    TLabel* Label12;      // history
    QGroupBox* GroupBox5; // "Chrome: "
    TLabel* Label13;
    TLabel* Label14;
    TLabel* Label15;
    QGroupBox* GroupBox6; // "Edge: "
    TLabel* Label16;
    TLabel* Label17;
    TLabel* Label18;
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
    // A link of today's browsers: cleans its part under the busy window and says what it did.
    void CleanCurrent(Browser browser, BrowserPart part);

  protected:
    // Each showing enables exactly the links whose browser is found now.
    void FormShow() override;

  private:
    using Cleaning = CleaningResult (*)(const std::string& folder, ProfileParts parts,
                                        CleaningMode mode);
    struct CurrentGroup {
        Browser browser;
        QGroupBox* group;
        TLabel* links[3]; // cache, cookies, history
    };
    std::vector<CurrentGroup> current_;
    // Enables today's browsers' links by their lookups and shows their counts.
    void showCurrent();
    enum class Part { Cache, Cookies, History };
    // One link's work under the busy window: looks the profile up again (it may have gone
    // since the window was shown) and cleans the link's part of it.
    void cleanWithNote(const QGroupBox* group, const TLabel* link,
                       const std::function<std::string()>& lookup, Cleaning cleaning, Part part);
};

extern TOtherBrowserForm* OtherBrowserForm;
