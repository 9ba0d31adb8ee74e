// The other-browsers window: cleans the cache, the cookies or the history of Opera up to 12,
// Mozilla (with Netscape) and Firefox 1-2 (left column), and of each of today's browsers that
// is installed (right column, one group each, with what each link would remove), one link
// each; below, what each part removes. The profile lookups and cleanings it calls are in
// OtherBrowserProfiles.h and BrowserCleaning.h, which the unattended run uses too.
#pragma once

#include "controls/stdctrls.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "ui/FormBase.h"

#include <QGroupBox>
#include <QScrollArea>

#include <functional>
#include <vector>

class TOtherBrowserForm : public TFormBase {
    Q_OBJECT
  public:
    TOtherBrowserForm();
    ~TOtherBrowserForm() override;

    QGroupBox* GroupBox1; // "Opera up to 12: "
    TImage* Image1;
    TLabel* Label1;       // cache
    TLabel* Label2;       // cookies
    TLabel* Label3;       // history
    QGroupBox* GroupBox2; // "Mozilla & Netscape: "
    TImage* Image2;
    TLabel* Label6;       // cache
    TLabel* Label4;       // cookies
    TLabel* Label5;       // history
    QGroupBox* GroupBox3; // "Firefox 1-2: "
    TImage* Image3;
    TLabel* Label9; // cache
    TLabel* Label7; // cookies
    TLabel* Label8; // history

    // Today's browsers: a group each, shown while the browser is installed. Each link shows
    // what its cleaning would remove as "(N)" after its caption; the line below says how many
    // profiles there are, or that the browser is running and is left alone.
    struct TodaysGroup {
        Browser browser;
        QGroupBox* group;
        TImage* image;
        TLabel* links[3]; // cache, cookies, history
        TLabel* state;
    };
    const std::vector<TodaysGroup>& TodaysGroups() const { return today_; }
    const TodaysGroup& Group(Browser browser) const;
    QScrollArea* TodaysBrowsers; // the right column, holding the groups
    TLabel* NoneFound;           // instead of the groups when there are none
    // What each part removes, one line each, and what is never touched.
    TLabel* Legend[4];
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
    std::vector<TodaysGroup> today_;
    // Shows the groups of the browsers installed now, with their counts and state.
    void showCurrent();
    // Places the legend below the columns, the button below it, and fits the window round.
    void layOut();
    enum class Part { Cache, Cookies, History };
    // One link's work under the busy window: looks the profile up again (it may have gone
    // since the window was shown) and cleans the link's part of it.
    void cleanWithNote(const QGroupBox* group, const TLabel* link,
                       const std::function<std::string()>& lookup, Cleaning cleaning, Part part);
    // The busy window names the group and the link while `work` runs; then the done message.
    void underBusyWindow(const QGroupBox* group, const TLabel* link,
                         const std::function<CleaningResult()>& work);
};

extern TOtherBrowserForm* OtherBrowserForm;
