// The keep-list in the cookie window and its own window: marking a site kept, deleting all
// listed cookies around it, the question before a kept cookie goes on its own, and taking a
// site off the list, each checked in the URL cache and the registry afterwards.
#include "automation/CleaningOperations.h"
#include "cache/KeepCookies.h"
#include "cache/u_cookieForm.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "controls/longlist.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/root.h"
#include "shell/ApplyLanguageTexts.h"
#include "support/cache_entries.h"
#include "support/window_fixture.h"
#include "ui/u_ShowMessage2.h"

#include <QMessageBox>

#include <algorithm>
#include <cstdio>
#include <cstring>

using platform::urlcache::Container;
using testing_support::putCookie;

namespace {

std::vector<std::string> cookiesInCache() {
    std::vector<std::string> urls;
    for (const auto& record : platform::urlcache::list(Container::Cookies))
        urls.push_back(record.url);
    std::sort(urls.begin(), urls.end());
    return urls;
}

std::vector<std::string> keptSites() {
    std::vector<std::string> sites;
    const TKeepCookies keep = TKeepCookies::FromRegistry();
    for (const TKeepCookies::Site& site : keep.Sites())
        sites.push_back(site.host);
    return sites;
}

std::string today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", unsigned{now.wYear}, unsigned{now.wMonth},
                  unsigned{now.wDay});
    return text;
}

class KeepCookiesWindowTest : public testing_support::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
        ApplyLanguageTexts();
        onModal = [this](QWidget* window) {
            if (auto* box = qobject_cast<QMessageBox*>(window)) {
                questions.push_back(QStringToAnsi(box->text()));
                if (answer != QMessageBox::NoButton) box->button(answer)->click();
            }
            if (window == KeepCookiesForm && inKeepList) inKeepList();
            if (window == KeepSiteForm) {
                offered.push_back(QStringToAnsi(KeepSiteForm->Edit1->text()));
                if (!typedSite.empty()) KeepSiteForm->Edit1->setText(AnsiToQString(typedSite));
                emit KeepSiteForm->BitBtn1->clicked();
            }
        };
    }
    static std::vector<std::string> lines(const QListWidget* list) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(QStringToAnsi(list->item(i)->text()));
        return texts;
    }
    static void select(const std::string& url) {
        for (int i = 0; i < CookieForm->Listbox1->count(); ++i)
            if (TCookieForm::UrlOf(CookieForm->Listbox1->item(i)) == url)
                CookieForm->Listbox1->setCurrentRow(i);
        ASSERT_EQ(url, TCookieForm::UrlOf(CookieForm->Listbox1->currentItem()));
    }
    static std::string mark(const std::string& url) { return GetText(343) + " " + url; }

    std::vector<std::string> questions;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    std::function<void()> inKeepList;
    // The sites the keep question offered, and what the user types over the offer (nothing:
    // the offer is taken).
    std::vector<std::string> offered;
    std::string typedSite;
};

} // namespace

// The link puts the selected cookie's site on the list: its cookies and its sub-domains'
// are marked in words and in bold, a look-alike is not. Deleting all listed cookies leaves
// the kept ones and says how many stayed; the link then takes the site off again, which
// leaves its cookies where they are.
TEST_F(KeepCookiesWindowTest, KeepingASiteMarksItsCookiesAndDeleteAllLeavesThem) {
    for (const char* domain :
         {"alpha.example", "beta.example", "www.beta.example", "badbeta.example", "gamma.example"})
        putCookie(domain);
    CookieForm->show();
    EXPECT_FALSE(CookieForm->Label12->isVisible()); // no cookie chosen yet

    select("Cookie:user@beta.example/");
    EXPECT_TRUE(CookieForm->Label12->isVisible());
    EXPECT_EQ(GetText(340), CookieForm->Label12->Caption());
    const int soundsBefore = clickSounds();
    emit CookieForm->Label12->clicked();
    EXPECT_EQ(std::vector<std::string>{"beta.example"}, offered);
    EXPECT_EQ(soundsBefore + 2, clickSounds()); // the link and the question's button
    EXPECT_EQ(std::vector<std::string>{"beta.example"}, keptSites());
    EXPECT_EQ(today(), TKeepCookies::FromRegistry().Sites().at(0).added);
    const std::vector<std::string> marked{
        "Cookie:user@alpha.example/", mark("Cookie:user@beta.example/"),
        mark("Cookie:user@www.beta.example/"), "Cookie:user@badbeta.example/",
        "Cookie:user@gamma.example/"};
    std::vector<std::string> shown = lines(CookieForm->Listbox1);
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> wanted = marked;
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(wanted, shown);
    for (int i = 0; i < CookieForm->Listbox1->count(); ++i) {
        const QListWidgetItem* item = CookieForm->Listbox1->item(i);
        EXPECT_EQ(CookieForm->IsKept(item), item->font().bold()) << item->text().toStdString();
    }
    // The selection stays on the cookie, whose link now offers the opposite.
    EXPECT_EQ("Cookie:user@beta.example/", TCookieForm::UrlOf(CookieForm->Listbox1->currentItem()));
    EXPECT_EQ(GetText(341), CookieForm->Label12->Caption());

    // A filter lists three of them; deleting all listed asks for the one that can go and
    // leaves the kept ones.
    CookieForm->Edit1->setText(QStringLiteral("beta"));
    answer = QMessageBox::Yes;
    emit CookieForm->Label6->clicked();
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@alpha.example/", "Cookie:user@beta.example/",
                                  "Cookie:user@gamma.example/", "Cookie:user@www.beta.example/"}),
        cookiesInCache());
    EXPECT_EQ(std::vector<std::string>{GetText(345) + " 2"}, messages);

    // Without a filter: every cookie but the kept ones goes, and the window stays open.
    CookieForm->Edit1->setText(QString());
    emit CookieForm->Label6->clicked();
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@beta.example/", "Cookie:user@www.beta.example/"}),
        cookiesInCache());
    EXPECT_EQ((std::vector<std::string>{GetText(345) + " 2", GetText(345) + " 2"}), messages);
    EXPECT_FALSE(CookieForm->CloseTimer->isActive());
    EXPECT_EQ((std::vector<std::string>{"beta.example"}), keptSites());
    EXPECT_EQ((std::vector<std::string>{
                  FillIn(GetText(452), {"1"}) + "\n\n" + FillIn(GetText(453), {"2"}),
                  FillIn(GetText(452), {"2"}) + "\n\n" + FillIn(GetText(453), {"2"})}),
              questions);

    // The sub-domain's cookie is kept through its site: taking it off takes the site off.
    select("Cookie:user@www.beta.example/");
    EXPECT_EQ(GetText(341), CookieForm->Label12->Caption());
    emit CookieForm->Label12->clicked();
    EXPECT_TRUE(keptSites().empty());
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@beta.example/", "Cookie:user@www.beta.example/"}),
        cookiesInCache());
    shown = lines(CookieForm->Listbox1);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@beta.example/", "Cookie:user@www.beta.example/"}),
        shown);
    EXPECT_EQ(GetText(340), CookieForm->Label12->Caption());
}

// Deleting a kept cookie on its own asks first, "No" the default, and names its kept site; "No"
// keeps it, "Yes" deletes it and leaves the site on the list. A cookie of another site is
// asked for in the plain words.
TEST_F(KeepCookiesWindowTest, DeletingAKeptCookieAsksFirst) {
    putCookie("alpha.example");
    putCookie("shop.beta.example");
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("beta.example"));
    CookieForm->show();

    select("Cookie:user@shop.beta.example/");
    answer = QMessageBox::No;
    emit CookieForm->Label5->clicked();
    ASSERT_EQ(1u, questions.size());
    EXPECT_NE(std::string::npos, questions[0].find(GetText(344)));
    EXPECT_NE(std::string::npos, questions[0].find("shop.beta.example"));
    EXPECT_EQ(2u, cookiesInCache().size());

    answer = QMessageBox::Yes;
    emit CookieForm->Label5->clicked();
    EXPECT_EQ(2u, questions.size());
    EXPECT_EQ(std::vector<std::string>{"Cookie:user@alpha.example/"}, cookiesInCache());
    EXPECT_EQ(std::vector<std::string>{"beta.example"}, keptSites());

    select("Cookie:user@alpha.example/");
    emit CookieForm->Label5->clicked();
    ASSERT_EQ(3u, questions.size());
    EXPECT_EQ(GetText(451) + "\n\n\"Cookie:user@alpha.example/\"", questions[2]);
    EXPECT_TRUE(cookiesInCache().empty());
}

// The keep-list window lists the sites with their dates (a value that names no host is not
// one), takes the selected one off the registry's list without touching its cookies or the
// other values, and the cookie window shows the change when it returns.
TEST_F(KeepCookiesWindowTest, TheKeepListWindowTakesASiteOffAndLeavesItsCookies) {
    putCookie("www.alpha.example");
    putCookie("beta.example");
    {
        UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
        for (const auto& [name, date] : {std::pair{"alpha.example", "2030-05-06"},
                                         {"Beta.Example", "2031-07-08"},
                                         {"not a host", "x"}})
            ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name, 0, REG_SZ,
                                                    reinterpret_cast<const BYTE*>(date),
                                                    static_cast<DWORD>(std::strlen(date) + 1)));
    }
    CookieForm->show();
    const std::vector<std::string> shown = lines(CookieForm->Listbox1);
    EXPECT_EQ(2, std::count_if(shown.begin(), shown.end(), [](const std::string& line) {
                  return line.rfind(GetText(343), 0) == 0;
              }));
    select("Cookie:user@beta.example/");

    std::vector<std::string> listed;
    std::vector<std::string> afterRemoving;
    std::string selectedAtFirst = "?";
    bool hintShown = true;
    answer = QMessageBox::Yes;
    inKeepList = [&] {
        TKeepCookiesForm* k = KeepCookiesForm;
        listed = lines(k->ListBox1);
        hintShown = k->Label5->isVisible();
        selectedAtFirst = k->SelectedSite();
        k->ListBox1->setCurrentRow(1);
        emit k->Label4->clicked();
        afterRemoving = lines(k->ListBox1);
        emit k->BitBtn1->clicked();
    };
    emit CookieForm->Label13->clicked();
    // The days in the user's date format, as the rest of the program shows dates.
    EXPECT_EQ((std::vector<std::string>{"alpha.example   (" + GetText(349) + " 06.05.2030)",
                                        "beta.example   (" + GetText(349) + " 08.07.2031)"}),
              listed);
    EXPECT_EQ("", selectedAtFirst);
    EXPECT_FALSE(hintShown);
    EXPECT_EQ((std::vector<std::string>{"alpha.example   (" + GetText(349) + " 06.05.2030)"}),
              afterRemoving);
    EXPECT_EQ(std::vector<std::string>{GetText(455) + "\n\n\"beta.example\""}, questions);
    EXPECT_EQ(std::vector<std::string>{"alpha.example"}, keptSites());
    EXPECT_EQ(2u, cookiesInCache().size());
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, KEY_READ, key.out()));
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key.get(), "not a host", nullptr, nullptr, nullptr, nullptr));
    // Back in the cookie window: the selection stays, its cookie no longer marked.
    EXPECT_EQ("Cookie:user@beta.example/", TCookieForm::UrlOf(CookieForm->SelectedItem()));
    EXPECT_EQ(GetText(340), CookieForm->Label12->Caption());

    // The last site gone, the window says how a site gets on the list, and the link rests.
    inKeepList = [&] {
        TKeepCookiesForm* k = KeepCookiesForm;
        k->ListBox1->setCurrentRow(0);
        emit k->Label4->clicked();
        hintShown = k->Label5->isVisible();
        listed = lines(k->ListBox1);
        EXPECT_FALSE(k->Label4->isEnabled());
    };
    emit CookieForm->Label13->clicked();
    EXPECT_TRUE(hintShown);
    EXPECT_TRUE(listed.empty());
    EXPECT_TRUE(keptSites().empty());
    EXPECT_EQ(2u, cookiesInCache().size());
}

// The keep-list window chooses no site for the user: taking one off without a choice says to
// choose one, and with one it names the site and asks, No the default. Afterwards no site is
// chosen, so a second click takes nothing off.
TEST_F(KeepCookiesWindowTest, TakingASiteOffActsOnlyOnTheUsersChoiceAndAsksFirst) {
    for (const char* site : {"alpha.example", "bravo.example", "charlie.example"}) {
        TKeepCookies keep;
        ASSERT_EQ(ERROR_SUCCESS, keep.Add(site));
    }
    putCookie("bravo.example");
    std::vector<std::string> selectedAfter;
    inKeepList = [&] {
        TKeepCookiesForm* k = KeepCookiesForm;
        selectedAfter.push_back(k->SelectedSite());
        emit k->Label4->clicked();
        k->ListBox1->setCurrentRow(1);
        answer = QMessageBox::No;
        emit k->Label4->clicked();
        answer = QMessageBox::Yes;
        emit k->Label4->clicked();
        selectedAfter.push_back(k->SelectedSite());
        emit k->Label4->clicked();
    };
    CookieForm->show();
    emit CookieForm->Label13->clicked();
    EXPECT_EQ((std::vector<std::string>{"", ""}), selectedAfter);
    EXPECT_EQ((std::vector<std::string>{GetText(454), GetText(454)}), messages);
    EXPECT_EQ((std::vector<std::string>{GetText(455) + "\n\n\"bravo.example\"",
                                        GetText(455) + "\n\n\"bravo.example\""}),
              questions);
    EXPECT_EQ((std::vector<std::string>{"alpha.example", "charlie.example"}), keptSites());
    EXPECT_EQ(std::vector<std::string>{"Cookie:user@bravo.example/"}, cookiesInCache());
}

// Keeping the cookies of a cookie from "www.bank.example" offers the site, "bank.example",
// naming the host it came from: kept so, the site's own cookies and those of its other names
// survive the cookie cleaning. A user who types the host keeps that name alone; a name that
// is not one of the cookie's site is refused. The offer follows the public suffix list.
TEST_F(KeepCookiesWindowTest, KeepingFromAHostOffersItsSite) {
    for (const char* domain : {"www.bank.example", "bank.example", "login.bank.example",
                               "www.other.example", "www.shop.co.uk"})
        putCookie(domain);
    CookieForm->show();
    std::string explained;
    onModal = [&, hook = onModal](QWidget* window) {
        if (window == KeepSiteForm) explained = KeepSiteForm->Label2->Caption();
        hook(window);
    };
    select("Cookie:user@www.bank.example/");
    emit CookieForm->Label12->clicked();
    EXPECT_EQ(std::vector<std::string>{"bank.example"}, offered);
    EXPECT_EQ(FillIn(GetText(457), {"www.bank.example"}), explained);
    EXPECT_EQ(std::vector<std::string>{"bank.example"}, keptSites());
    for (const char* url : {"Cookie:user@bank.example/", "Cookie:user@login.bank.example/",
                            "Cookie:user@www.bank.example/"})
        EXPECT_TRUE(KeepsCookieEntry(CookieForm->Keep, url)) << url;
    CleanCookies(*CookieForm->IECache1);
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@bank.example/", "Cookie:user@login.bank.example/",
                                  "Cookie:user@www.bank.example/"}),
        cookiesInCache());

    // Off again, then kept as the host alone: the site's own cookie is no longer kept.
    select("Cookie:user@www.bank.example/");
    emit CookieForm->Label12->clicked();
    EXPECT_TRUE(keptSites().empty());
    typedSite = "WWW.Bank.Example";
    emit CookieForm->Label12->clicked();
    EXPECT_EQ(std::vector<std::string>{"www.bank.example"}, keptSites());
    EXPECT_FALSE(KeepsCookieEntry(CookieForm->Keep, "Cookie:user@bank.example/"));

    // A name of another site, or one wider than the site, keeps nothing and says why.
    select("Cookie:user@bank.example/");
    for (const char* wrong : {"other.example", "example", "login.bank.example"}) {
        SCOPED_TRACE(wrong);
        typedSite = wrong;
        messages.clear();
        emit CookieForm->Label12->clicked();
        EXPECT_EQ(std::vector<std::string>{FillIn(GetText(459), {"bank.example", "bank.example"})},
                  messages);
        EXPECT_EQ(std::vector<std::string>{"www.bank.example"}, keptSites());
    }

    // The cleaning took it; a new one came.
    putCookie("www.shop.co.uk");
    CookieForm->RefreshCookieList();
    typedSite.clear();
    offered.clear();
    select("Cookie:user@www.shop.co.uk/");
    emit CookieForm->Label12->clicked();
    EXPECT_EQ(std::vector<std::string>{"shop.co.uk"}, offered);
    EXPECT_EQ((std::vector<std::string>{"shop.co.uk", "www.bank.example"}), keptSites());
}
