// The favorites list over a Favorites folder on the platform: what it lists and in which
// order, walking down and up, activation of each kind of favorite, type-ahead, icons looked
// up only for rows about to be shown, and everything the shell handed out given back.
#include "controls/WebBrowser.h"
#include "favorites/FavoritesListView.h"
#include "favorites/IEUtils.h"
#include "favorites_fixture.h"
#include "platform/gui/icons.h"
#include "platform/simulated_time.h"
#include "support/application.h"
#include "support/caller_trace.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

using namespace favorites_test;
using V = std::vector<std::string>;

namespace {

class TFavoritesListViewTest : public testing_support::PlatformTest {
  protected:
    void SetUp() override { platform::clearShellLog(); }

    // The list as a form makes it: properties set, then loaded; reports collected.
    std::unique_ptr<TFavoritesListView> makeList(bool channels = false) {
        auto list = std::make_unique<TFavoritesListView>(nullptr);
        list->Channels = channels;
        list->OnURLSelected = [this](TCustomFavoritesListView* sender, const std::string& url) {
            EXPECT_NE(nullptr, sender);
            reported.push_back(url);
        };
        list->Loaded();
        return list;
    }

    static V rows(const TCustomFavoritesListView& list) {
        V names;
        for (int row = 0; row < list.ItemCount(); ++row) {
            SCOPED_TRACE(row);
            std::string caption;
            int image = -1;
            EXPECT_TRUE(list.OwnerDataFetch(row, caption, image));
            names.push_back(caption);
        }
        return names;
    }

    static void select(TFavoritesListView& list, const std::string& name) {
        const int row = list.OwnerDataFind(ifExactString, name, 0, TFindWrap::No);
        ASSERT_GE(row, 0) << name;
        list.setCurrentIndex(list.model()->index(row, 0));
    }
    static void activate(TFavoritesListView& list, const std::string& name) {
        select(list, name);
        list.DblClick();
    }
    static void key(QWidget& widget, int code, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(&widget, &press);
    }
    static void mouse(QWidget* target, QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    static int rowsInView(const TCustomFavoritesListView& list) {
        int visible = 0;
        for (int row = 0; row < list.ItemCount(); ++row)
            if (list.visualRect(list.model()->index(row, 0)).intersects(list.viewport()->rect()))
                ++visible;
        return visible;
    }
    // A folder just shown: the keys start at its first row, and nothing is chosen yet.
    static void firstRowFocusedNothingSelected(const TCustomFavoritesListView& list) {
        EXPECT_EQ(-1, list.SelectedRow());
        EXPECT_EQ(0, list.FocusedRow());
    }

    testing_support::ApplicationReady application;
    AllocationsBack allocations;
    V reported;
};

// Favorites as a user collects them, with what must not show.
void seedMixed(const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    internetShortcut("Wetter.url", "http://wetter.example/");
    internetShortcut("bank 10.url", "http://bank.example/10");
    internetShortcut("Bank 9.url", "http://bank.example/9");
    writeFavorite("agenda.txt", "Termine\r\n");
    shellLink("Notes.lnk", "C:\\Users\\User\\Favorites\\agenda.txt");
    internetShortcut("News\\Tageblatt.url", "http://tageblatt.example/");
    internetShortcut("archiv\\alt.url", "http://alt.example/");
    internetShortcut("secret.url", "http://secret.example/");
    ASSERT_TRUE(SetFileAttributesA(favorite("secret.url").c_str(), FILE_ATTRIBUTE_HIDDEN));
    internetShortcut("Versteckt\\x.url", "http://x.example/");
    ASSERT_TRUE(SetFileAttributesA(favorite("Versteckt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    channel("Kanal", "http://kanal.example/kanal.cdf");
}

void seedTree() {
    internetShortcut("Top.url", "http://top.example/");
    internetShortcut("Reisen\\Bahn.url", "http://bahn.example/");
    internetShortcut("Reisen\\Ostsee\\Strand.url", "http://strand.example/");
}

} // namespace

TEST_F(TFavoritesListViewTest, ListsTheFolderInTheShellsOrderWithoutHiddenItemsOrChannels) {
    seedMixed();
    // The new text of favorites being written is no favorite.
    internetShortcut("Wetter.url.~0", "http://wetter.example/halb");
    internetShortcut("BANK 9.URL.~12", "http://bank.example/halb");
    auto list = makeList();
    // Folders first, then names as the shell orders them; shortcut extensions are not shown.
    EXPECT_EQ(V({"archiv", "News", "agenda.txt", "Bank 9", "bank 10", "Notes", "Wetter"}),
              rows(*list));
    firstRowFocusedNothingSelected(*list);
    EXPECT_EQ(QStringLiteral("Favorites"), list->ColumnCaption());
    EXPECT_EQ(QStringLiteral("Favorites"), list->model()->headerData(0, Qt::Horizontal));
    EXPECT_EQ(QStringLiteral("Bank 9"), list->model()->index(3, 0).data());
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ("", list->SelectedFile());

    // With channels the channel is listed among the folders.
    auto withChannels = makeList(true);
    EXPECT_EQ(V({"archiv", "Kanal", "News", "agenda.txt", "Bank 9", "bank 10", "Notes", "Wetter"}),
              rows(*withChannels));

    // The type names are the registry's, read as the list is made: renamed, the channel is
    // still told by its name; with the class gone the fallback name matches nothing the shell
    // says, and the channel folder lists as a folder.
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CLASSES_ROOT, "ChannelShortcut", 0, KEY_SET_VALUE, key.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>("Kanal"), 6));
    auto renamed = makeList();
    EXPECT_EQ("Kanal", TCustomFavoritesListView::ChannelShortcutTypeName);
    EXPECT_EQ(7, renamed->ItemCount());
    key.reset();
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, "ChannelShortcut"));
    auto fallback = makeList();
    EXPECT_EQ("Channel Shortcut", TCustomFavoritesListView::ChannelShortcutTypeName);
    EXPECT_EQ(8, fallback->ItemCount());
}

TEST_F(TFavoritesListViewTest, AnEmptyOrMissingFavoritesFolderGivesAnEmptyList) {
    auto list = makeList();
    int doubleClicks = 0;
    list->OnDblClick = [&](TCustomFavoritesListView*) { ++doubleClicks; };
    EXPECT_EQ(0, list->ItemCount());
    EXPECT_EQ(-1, list->SelectedRow());
    key(*list, Qt::Key_Return);
    list->DblClick();
    EXPECT_EQ(2, doubleClicks);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ("", list->SelectedFile());

    // A user without a Favorites folder: the list starts empty instead of failing.
    ASSERT_TRUE(RemoveDirectoryA(favoritesFolder().c_str()));
    auto none = makeList();
    EXPECT_EQ(0, none->ItemCount());
    none->OneLevelUp();
    EXPECT_EQ(1, beeps());
    // The folder comes back: the next start-over lists it.
    internetShortcut("Neu.url", "http://neu.example/");
    none->Loaded();
    EXPECT_EQ(V({"Neu"}), rows(*none));
}

TEST_F(TFavoritesListViewTest, WalksDownTwoLevelsAndBackWithABeepAtTheTop) {
    seedTree();
    auto list = makeList();
    list->show();
    activate(*list, "Top");
    EXPECT_EQ(V({"http://top.example/"}), reported);
    const std::string top = favorite("Top.url");
    EXPECT_EQ(top, list->SelectedFile());

    activate(*list, "Reisen");
    EXPECT_EQ(V({"Ostsee", "Bahn"}), rows(*list));
    firstRowFocusedNothingSelected(*list);
    // Enter acts on a chosen row only; the space bar chooses the one with the focus.
    key(*list, Qt::Key_Return);
    EXPECT_EQ(V({"Ostsee", "Bahn"}), rows(*list));
    key(*list, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(0, list->SelectedRow());
    key(*list, Qt::Key_Return); // Ostsee
    EXPECT_EQ(V({"Strand"}), rows(*list));
    firstRowFocusedNothingSelected(*list);
    // Opening folders reports nothing and keeps the favorite chosen before.
    EXPECT_EQ(1u, reported.size());
    EXPECT_EQ(top, list->SelectedFile());

    list->OneLevelUp();
    EXPECT_EQ(V({"Ostsee", "Bahn"}), rows(*list));
    firstRowFocusedNothingSelected(*list);
    key(*list, Qt::Key_Backspace);
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));
    EXPECT_EQ(0, beeps());
    list->OneLevelUp();
    EXPECT_EQ(1, beeps());
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));

    // Starting over from deep down lands at the top with the level reset.
    activate(*list, "Reisen");
    list->Loaded();
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));
    list->OneLevelUp();
    EXPECT_EQ(2, beeps());
    EXPECT_EQ(top, list->SelectedFile());
}

TEST_F(TFavoritesListViewTest, ActivatingReportsWhereEachKindOfFavoriteLeads) {
    seedMixed();
    writeFavorite("Lower.url", "[internetshortcut]\nurl=http://lower.example/\n");
    auto list = makeList(true);
    activate(*list, "Wetter");
    activate(*list, "Notes");
    activate(*list, "agenda.txt");
    activate(*list, "Kanal"); // a channel opens as a link, not as a folder
    activate(*list, "Lower");
    EXPECT_EQ(V({"http://wetter.example/", favorite("agenda.txt"), "",
                 "http://kanal.example/kanal.cdf", "http://lower.example/"}),
              reported);
    EXPECT_EQ(favorite("Lower.url"), list->SelectedFile());
    EXPECT_EQ(9, list->ItemCount()); // still the Favorites folder

    // Read as an INI file the address is the same.
    list->ResolveUrl = IniFile;
    activate(*list, "Lower");
    EXPECT_EQ("http://lower.example/", reported.back());

    // A favorite whose file went away is reported with an empty address.
    ASSERT_TRUE(DeleteFileA(favorite("Wetter.url").c_str()));
    activate(*list, "Wetter");
    EXPECT_EQ("", reported.back());
    EXPECT_EQ(favorite("Wetter.url"), list->SelectedFile());

    // Without a handler the browser control goes there.
    TWebBrowser browser;
    list->OnURLSelected = nullptr;
    list->Webbrowser = &browser;
    const std::size_t before = reported.size();
    activate(*list, "News");
    activate(*list, "Tageblatt");
    EXPECT_EQ("http://tageblatt.example/", browser.LocationURL());
    EXPECT_EQ(before, reported.size());
}

TEST_F(TFavoritesListViewTest, TypeAheadSearchesFromTheStartIndexAndWraps) {
    for (const char* name : {"Alpha", "Mars", "merkur", "Mond", "Sonne"})
        internetShortcut(std::string(name) + ".url", "http://x.example/");
    auto list = makeList();
    ASSERT_EQ(V({"Alpha", "Mars", "merkur", "Mond", "Sonne"}), rows(*list));
    EXPECT_EQ(1, list->OwnerDataFind(ifPartialString, "m", 0, TFindWrap::No));
    EXPECT_EQ(2, list->OwnerDataFind(ifPartialString, "M", 2, TFindWrap::No));
    EXPECT_EQ(3, list->OwnerDataFind(ifPartialString, "mO", 0, TFindWrap::No));
    EXPECT_EQ(4, list->OwnerDataFind(ifPartialString, "s", 0, TFindWrap::No)); // the last row too
    EXPECT_EQ(-1, list->OwnerDataFind(ifPartialString, "m", 4, TFindWrap::No));
    EXPECT_EQ(1, list->OwnerDataFind(ifPartialString, "m", 4, TFindWrap::Yes));
    EXPECT_EQ(0, list->OwnerDataFind(ifPartialString, "alpha", 1, TFindWrap::Yes));
    EXPECT_EQ(-1, list->OwnerDataFind(ifPartialString, "x", 2, TFindWrap::Yes));
    EXPECT_EQ(3, list->OwnerDataFind(ifExactString, "mon", 0, TFindWrap::No));
    EXPECT_EQ(-1, list->OwnerDataFind(ifNearest, "m", 0, TFindWrap::Yes));
    EXPECT_EQ(-1, list->OwnerDataFind(ifData, "m", 0, TFindWrap::Yes));

    // Typing: a new search starts after the focused row; quick keys make one text; a key
    // after a pause starts again; a text nothing begins with leaves the focus.
    platform::SimulatedTime time;
    key(*list, Qt::Key_M, QStringLiteral("m"));
    EXPECT_EQ(1, list->FocusedRow());
    key(*list, Qt::Key_O, QStringLiteral("o"));
    EXPECT_EQ(3, list->FocusedRow());
    EXPECT_EQ(3, list->SelectedRow());
    Sleep(2000);
    key(*list, Qt::Key_M, QStringLiteral("m"));
    EXPECT_EQ(1, list->FocusedRow()); // wrapped past the end
    Sleep(2000);
    key(*list, Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(1, list->FocusedRow());
}

TEST_F(TFavoritesListViewTest, IconsAreLookedUpOnlyForRowsAboutToBeShownAndOnce) {
    for (int i = 0; i < 40; ++i)
        internetShortcut("Seite " + std::to_string(100 + i) + ".url", "http://x.example/");
    internetShortcut("Ordner\\a.url", "http://a.example/");
    const int iconsBefore = LiveIconCount();
    auto list = makeList();
    ASSERT_EQ(41, list->ItemCount());
    EXPECT_EQ(iconsBefore, LiveIconCount()) << "icons looked up for a list nobody sees";

    EXPECT_TRUE(list->OwnerDataHint(2, 4));
    EXPECT_EQ(iconsBefore + 3, LiveIconCount());
    EXPECT_TRUE(list->OwnerDataHint(3, 5));
    EXPECT_EQ(iconsBefore + 4, LiveIconCount());
    EXPECT_FALSE(list->OwnerDataHint(40, 41));
    EXPECT_FALSE(list->OwnerDataHint(-1, 2));
    EXPECT_EQ(iconsBefore + 4, LiveIconCount());
    std::string caption;
    int folderImage = -1;
    int urlImage = -1;
    list->OwnerDataHint(0, 0);
    ASSERT_TRUE(list->OwnerDataFetch(0, caption, folderImage));
    ASSERT_TRUE(list->OwnerDataFetch(3, caption, urlImage));
    EXPECT_NE(folderImage, urlImage);

    // Painted, the list looks up the rows in view and no others.
    list->Loaded();
    EXPECT_EQ(iconsBefore, LiveIconCount());
    list->resize(200, 120);
    list->show();
    list->grab();
    const int atTop = rowsInView(*list);
    ASSERT_GT(atTop, 2);
    ASSERT_LT(atTop, 12);
    EXPECT_EQ(iconsBefore + atTop, LiveIconCount());
    list->grab();
    EXPECT_EQ(iconsBefore + atTop, LiveIconCount());
    list->scrollToBottom();
    list->grab();
    EXPECT_EQ(iconsBefore + atTop + rowsInView(*list), LiveIconCount());
    list.reset();
    EXPECT_EQ(iconsBefore, LiveIconCount());
}

TEST_F(TFavoritesListViewTest, LoadedAThousandTimesGivesBackEveryItemListAndIcon) {
    seedMixed();
    seedTree();
    const std::size_t listsBefore = platform::liveTaskAllocations();
    const int iconsBefore = LiveIconCount();
    {
        auto list = makeList(true);
        for (int i = 0; i < 1000; ++i) {
            list->Loaded();
            list->OwnerDataHint(0, list->ItemCount() - 1);
            if (i % 100 == 0) {
                activate(*list, "Reisen");
                list->OwnerDataHint(0, list->ItemCount() - 1);
                activate(*list, "Bahn");
                list->OneLevelUp();
            }
        }
        EXPECT_EQ(iconsBefore + list->ItemCount(), LiveIconCount());
    }
    EXPECT_EQ(listsBefore, platform::liveTaskAllocations());
    EXPECT_EQ(iconsBefore, LiveIconCount());
    EXPECT_EQ(10u, reported.size());
}

TEST_F(TFavoritesListViewTest, AFolderThatWentAwayRaisesAndTheListStaysAsItWas) {
    seedTree();
    auto list = makeList();
    select(*list, "Reisen");
    ASSERT_TRUE(DeleteFileA(favorite("Reisen\\Ostsee\\Strand.url").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(favorite("Reisen\\Ostsee").c_str()));
    ASSERT_TRUE(DeleteFileA(favorite("Reisen\\Bahn.url").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(favorite("Reisen").c_str()));
    EXPECT_THROW(list->DblClick(), EShellError);
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));
    // The level did not change either: going up from here beeps.
    list->OneLevelUp();
    EXPECT_EQ(1, beeps());
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));
}

TEST_F(TFavoritesListViewTest, ClicksActivateOnceAndTheHotRowShowsAHand) {
    seedTree();
    auto list = makeList();
    list->HotTrack = true;
    int clicks = 0;
    list->OnClick = [&](TCustomFavoritesListView* sender) {
        ++clicks;
        sender->DblClick();
    };
    list->resize(240, 200);
    list->show();
    QApplication::processEvents();
    QWidget* view = list->viewport();
    const QPoint reisen = list->visualRect(list->model()->index(0, 0)).center();

    // A double click on a folder: the first click opens it; the second press does not open
    // what now lies under the mouse.
    mouse(view, QEvent::MouseButtonPress, reisen);
    mouse(view, QEvent::MouseButtonRelease, reisen);
    mouse(view, QEvent::MouseButtonDblClick, reisen);
    mouse(view, QEvent::MouseButtonRelease, reisen);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(V({"Ostsee", "Bahn"}), rows(*list));

    // A double click on a favorite reports it with each activation.
    const QPoint bahn = list->visualRect(list->model()->index(1, 0)).center();
    mouse(view, QEvent::MouseButtonPress, bahn);
    mouse(view, QEvent::MouseButtonRelease, bahn);
    mouse(view, QEvent::MouseButtonDblClick, bahn);
    mouse(view, QEvent::MouseButtonRelease, bahn);
    EXPECT_EQ(2, clicks);
    EXPECT_EQ(V({"http://bahn.example/", "http://bahn.example/"}), reported);

    // The hand shows over a row only.
    QMouseEvent over(QEvent::MouseMove, bahn, view->mapToGlobal(bahn), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &over);
    EXPECT_EQ(Qt::PointingHandCursor, view->cursor().shape());
    const QPoint below(bahn.x(), view->height() - 3);
    QMouseEvent empty(QEvent::MouseMove, below, view->mapToGlobal(below), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &empty);
    EXPECT_NE(Qt::PointingHandCursor, view->cursor().shape());
}

// Listed once more, a folder shows what it holds now, stays at its level and has the file asked
// for chosen; a folder gone meanwhile starts the list over at the top.
TEST_F(TFavoritesListViewTest, ShowingTheFolderAgainKeepsTheLevelAndChoosesTheFile) {
    seedTree();
    auto list = makeList();
    activate(*list, "Reisen");
    activate(*list, "Ostsee");
    activate(*list, "Strand");
    internetShortcut("Reisen\\Ostsee\\D\xFCne.url", "http://duene.example/");
    internetShortcut("Reisen\\Ostsee\\Strand.url.~0", "http://strand.example/halb");

    list->ShowFolderAgain(favorite("REISEN\\Ostsee\\strand.url"));
    EXPECT_EQ(V({"D\xFCne", "Strand"}), rows(*list));
    EXPECT_EQ(1, list->SelectedRow());
    EXPECT_EQ(1, list->FocusedRow());
    // A file that is not there, or none, chooses nothing.
    list->ShowFolderAgain(favorite("Reisen\\Ostsee\\Weg.url"));
    firstRowFocusedNothingSelected(*list);
    list->ShowFolderAgain("");
    firstRowFocusedNothingSelected(*list);
    EXPECT_EQ(V({"http://strand.example/"}), reported);
    // Still two levels down.
    list->OneLevelUp();
    EXPECT_EQ(V({"Ostsee", "Bahn"}), rows(*list));
    list->ShowFolderAgain(favorite("Reisen\\Bahn.url"));
    EXPECT_EQ(1, list->SelectedRow());
    list->OneLevelUp();
    EXPECT_EQ(V({"Reisen", "Top"}), rows(*list));
    EXPECT_EQ(0, beeps());

    activate(*list, "Reisen");
    ASSERT_TRUE(DeleteFileA(favorite("Reisen\\Bahn.url").c_str()));
    for (const char* file : {"Strand.url", "Strand.url.~0", "D\xFCne.url"}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(DeleteFileA(favorite(std::string("Reisen\\Ostsee\\") + file).c_str()));
    }
    ASSERT_TRUE(RemoveDirectoryA(favorite("Reisen\\Ostsee").c_str()));
    ASSERT_TRUE(RemoveDirectoryA(favorite("Reisen").c_str()));
    list->ShowFolderAgain(favorite("Reisen\\Bahn.url"));
    EXPECT_EQ(V({"Top"}), rows(*list));
    firstRowFocusedNothingSelected(*list);
    list->OneLevelUp();
    EXPECT_EQ(1, beeps());
}
