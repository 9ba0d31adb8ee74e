// The favorites page of the main window and the link editor, on a Favorites folder of the
// platform: viewing, editing and deleting favorites, and what each does to the files.
#include "favorites/FavoritenPanel.h"
#include "favorites/FavoritesListView.h"
#include "favorites/u_URLChangeForm.h"
#include "favorites_fixture.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/window_fixture.h"
#include "ui/u_ShowMessage2.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

using namespace favorites_test;
using V = std::vector<std::string>;

namespace {

const std::string kRadio = "[DEFAULT]\r\nBASEURL=http://radio.example/\r\n[InternetShortcut]\r\n"
                           "URL=http://radio.example/live\r\nIconIndex=1\r\n";

class FavoritenPanelTest : public testing_support::WindowTest {
  protected:
    // Favorites as a user has them, then the program started on them in English.
    void SetUp() override {
        WindowTest::SetUp();
        internetShortcut("Wetter.url", "http://wetter.example/");
        writeFavorite("Radio.url", kRadio);
        internetShortcut("News\\Tageblatt.url", "http://tageblatt.example/lokal");
        internetShortcut("News\\B\xF6rse.url", "http://boerse.example/");
        makeFolders(favorite("Leer"));
        writeFavorite("Termine.txt", "Montag\r\n");
        shellLink("Notes.lnk", favorite("Termine.txt"));
        start(language());
    }
    virtual int language() const { return 0; }

    void start(int language) {
        StartProgram(language);
        ApplyLanguageTexts();
        Form1->show();
        Form1->SpeedButton4->click();
        panel = Form1->FavoritenPanel;
        list = panel->FavoritesListView1;
        platform::clearShellLog();
        onModal = [this](QWidget* window) {
            if (window == URLChangeForm) {
                editor.push_back({QStringToAnsi(URLChangeForm->Label2->text()),
                                  QStringToAnsi(URLChangeForm->Edit1->text()), Form1->isVisible()});
                if (inEditor) inEditor();
            } else if (auto* box = qobject_cast<QMessageBox*>(window)) {
                if (!box->button(QMessageBox::Yes)) {
                    errors.push_back(QStringToAnsi(box->text()));
                    return;
                }
                questions.push_back(QStringToAnsi(box->text()));
                noIsTheDefault.push_back(box->defaultButton() == box->button(QMessageBox::No));
                if (answer != QMessageBox::NoButton) box->button(answer)->click();
            }
        };
    }

    V rows() const {
        V names;
        for (int row = 0; row < list->ItemCount(); ++row) {
            std::string caption;
            int image = 0;
            list->OwnerDataFetch(row, caption, image);
            names.push_back(caption);
        }
        return names;
    }
    void select(const std::string& name) {
        const int row = list->OwnerDataFind(ifExactString, name, 0, TFindWrap::No);
        ASSERT_GE(row, 0) << name;
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    // The list starts over at the Favorites folder, its first row focused and none chosen.
    void backAtTheTop() {
        EXPECT_EQ(kTop, rows());
        EXPECT_EQ(-1, list->SelectedRow());
        EXPECT_EQ(0, list->FocusedRow());
    }
    // The name of the row chosen now; empty when none is.
    std::string chosen() const {
        std::string caption;
        int image = 0;
        list->OwnerDataFetch(list->SelectedRow(), caption, image);
        return caption;
    }
    // The question before a deletion, naming the favorite.
    static std::string deleteQuestion(const std::string& name) {
        return GetText(301) + "\n\n\"" + name + "\"";
    }
    static void click(QWidget* widget) { click(widget, widget->rect().center()); }
    static void click(QWidget* widget, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }

    struct EditorShowing {
        std::string name;
        std::string address;
        bool mainWindowVisible;
    };
    FavoritenPanel* panel = nullptr;
    TFavoritesListView* list = nullptr;
    std::vector<EditorShowing> editor;
    V errors;
    // Yes/no questions asked, whether "No" was their default, and the answer given (none
    // closes the box).
    V questions;
    std::vector<bool> noIsTheDefault;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    std::function<void()> inEditor;

    const V kTop = {"Leer", "News", "Notes", "Radio", "Termine.txt", "Wetter"};
};

} // namespace

TEST_F(FavoritenPanelTest, ViewingAFavoriteHandsItsFileToTheShell) {
    backAtTheTop();
    select("Wetter");
    panel->Label49Click();
    EXPECT_EQ(V({favorite("Wetter.url")}), executedTargets());
    EXPECT_EQ(1, clickSounds());
    // A click into the list opens a folder; "one level up" comes back, and beeps at the top.
    click(list->viewport(), QPoint(10, list->viewport()->height() - 3)); // below the rows
    select("News");
    panel->FavoritesListView1Click();
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    panel->Label47Click();
    backAtTheTop();
    panel->Label47Click();
    EXPECT_EQ(1, beeps());
    EXPECT_EQ(5, clickSounds());
    EXPECT_TRUE(modalWindows.empty());
}

TEST_F(FavoritenPanelTest, EditingWithTheAddressUnchangedWritesNothingButConfirms) {
    select("Radio");
    inEditor = [] { URLChangeForm->Label5Click(); };
    panel->Label5Click();
    ASSERT_EQ(1u, editor.size());
    EXPECT_EQ("Radio", editor[0].name);
    EXPECT_EQ("http://radio.example/live", editor[0].address);
    EXPECT_FALSE(editor[0].mainWindowVisible);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(kRadio, fileBytes(favorite("Radio.url")));
    EXPECT_EQ(V({GetText(138)}), messages);
    EXPECT_EQ(V({"TURLChangeForm", "TShowMessage2Form"}), modalWindows);
    // The list stays as it was, the favorite just edited still chosen.
    EXPECT_EQ(kTop, rows());
    EXPECT_EQ("Radio", chosen());

    // Discarding writes nothing and says nothing.
    select("Radio");
    inEditor = [] {
        URLChangeForm->Edit1->setText(QStringLiteral("http://anders.example/"));
        URLChangeForm->Label4Click();
    };
    panel->Label5Click();
    EXPECT_EQ(kRadio, fileBytes(favorite("Radio.url")));
    EXPECT_EQ(1u, messages.size());
}

TEST_F(FavoritenPanelTest, AChangeOfLetterCaseIsSavedAndTheListStaysInTheFolder) {
    select("News");
    list->DblClick();
    select("Tageblatt");
    inEditor = [] {
        EXPECT_FALSE(URLChangeForm->Edit1->text().contains(QLatin1Char('L')));
        URLChangeForm->Edit1->setText(QStringLiteral("http://tageblatt.example/Lokal"));
        URLChangeForm->Label5Click();
    };
    panel->Label5Click();
    ASSERT_EQ(1u, editor.size());
    EXPECT_EQ("Tageblatt", editor[0].name);
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://tageblatt.example/Lokal\r\n",
              fileBytes(favorite("News\\Tageblatt.url")));
    EXPECT_EQ(V({GetText(138)}), messages);
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    EXPECT_EQ("Tageblatt", chosen());

    // A new address replaces everything the file held; a pasted line break adds no line.
    panel->Label47Click();
    select("Radio");
    inEditor = [] {
        URLChangeForm->Edit1->selectAll();
        URLChangeForm->Edit1->insert(QStringLiteral("http://neu.example/\r\nIconIndex=9"));
        URLChangeForm->Label5Click();
    };
    panel->Label5Click();
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://neu.example/IconIndex=9\r\n",
              fileBytes(favorite("Radio.url")));
}

// A user's round: into a folder, a read-only favorite edited and saved; the list stays on it,
// the file keeps its marks and creation time, and what an interrupted save had left beside it
// is neither listed nor kept. The heading says where the list is. Back up and into the folder
// again, no favorite is chosen, so "Delete link" asks nothing, deletes nothing and says that a
// link must be chosen first.
TEST_F(FavoritenPanelTest, AfterSavingTheListStaysOnTheFavoriteAndNothingUnchosenIsDeleted) {
    const std::string tageblatt = favorite("News\\Tageblatt.url");
    setCreationTime(tageblatt, kLongAgo);
    ASSERT_TRUE(SetFileAttributesA(tageblatt.c_str(), FILE_ATTRIBUTE_READONLY));
    internetShortcut("News\\Tageblatt.url.~0", "http://halb.example/");
    const auto clickRow = [&](const std::string& name) {
        const int row = list->OwnerDataFind(ifExactString, name, 0, TFindWrap::No);
        ASSERT_GE(row, 0) << name;
        click(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    };
    EXPECT_EQ(AnsiToQString(GetText(460)), list->model()->headerData(0, Qt::Horizontal));
    clickRow("News");
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    EXPECT_EQ(-1, list->SelectedRow());
    EXPECT_EQ(AnsiToQString(GetText(460) + "\\News"), list->model()->headerData(0, Qt::Horizontal));
    clickRow("Tageblatt");
    inEditor = [] {
        URLChangeForm->Edit1->setText(QStringLiteral("http://tageblatt.example/sport"));
        URLChangeForm->Label5Click();
    };
    panel->Label5Click();
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://tageblatt.example/sport\r\n", fileBytes(tageblatt));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(tageblatt.c_str()));
    EXPECT_EQ(kLongAgo, createdOf(tageblatt));
    EXPECT_FALSE(FileExistsA(tageblatt + ".~0"));
    EXPECT_EQ(V({GetText(138)}), messages);
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    EXPECT_EQ("Tageblatt", chosen());

    // The chosen favorite is the one "Delete link" names; "No" keeps it.
    answer = QMessageBox::No;
    panel->Label48Click();
    EXPECT_EQ(V({deleteQuestion("Tageblatt")}), questions);

    // Up and into the folder again: nothing is chosen, and nothing is asked or deleted.
    panel->Label47Click();
    clickRow("News");
    EXPECT_EQ(-1, list->SelectedRow());
    answer = QMessageBox::Yes;
    panel->Label48Click();
    EXPECT_EQ(1u, questions.size());
    EXPECT_TRUE(FileExistsA(favorite("News\\B\xF6rse.url")));
    EXPECT_TRUE(FileExistsA(tageblatt));
    EXPECT_EQ(V({GetText(138), GetText(461)}), messages);
    EXPECT_TRUE(errors.empty());
    panel->Label47Click();
    EXPECT_EQ(AnsiToQString(GetText(460)), list->model()->headerData(0, Qt::Horizontal));
}

// Only internet shortcuts have an address the editor can write back: for a shell link or any
// other file "Edit link" says so instead of opening an editor that would save nothing.
TEST_F(FavoritenPanelTest, AShellLinkIsNeverOverwrittenWithShortcutText) {
    const std::string link = fileBytes(favorite("Notes.lnk"));
    select("Notes");
    inEditor = [] {
        URLChangeForm->Edit1->setText(QStringLiteral("http://irgendwo.example/"));
        URLChangeForm->Label5Click();
    };
    panel->Label5Click();
    select("Termine.txt");
    panel->Label5Click();
    EXPECT_TRUE(editor.empty());
    EXPECT_EQ(V({GetText(300), GetText(300)}), messages);
    EXPECT_EQ(V({"TShowMessage2Form", "TShowMessage2Form"}), modalWindows);
    EXPECT_EQ(link, fileBytes(favorite("Notes.lnk")));
    EXPECT_EQ("Montag\r\n", fileBytes(favorite("Termine.txt")));
    EXPECT_EQ(kTop, rows());
    EXPECT_EQ("Termine.txt", chosen());
    // An internet shortcut beside them opens as before.
    select("Wetter");
    inEditor = [] { URLChangeForm->Label4Click(); };
    panel->Label5Click();
    ASSERT_EQ(1u, editor.size());
    EXPECT_EQ("http://wetter.example/", editor[0].address);
}

// Nothing goes without the user's "Yes" to a question that names the favorite; what cannot
// go is reported as not deleted, and the list stays in its folder.
TEST_F(FavoritenPanelTest, DeletingAsksFirstAndSaysWhatBecameOfTheFavorite) {
    select("News");
    list->DblClick();
    select("Tageblatt");
    panel->Label48Click(); // the question closed without an answer
    answer = QMessageBox::No;
    panel->Label48Click();
    EXPECT_TRUE(FileExistsA(favorite("News\\Tageblatt.url")));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ("Tageblatt", chosen());

    answer = QMessageBox::Yes;
    panel->Label48Click();
    EXPECT_FALSE(FileExistsA(favorite("News\\Tageblatt.url")));
    EXPECT_EQ(V({GetText(133)}), messages);
    EXPECT_EQ(V(3, deleteQuestion("Tageblatt")), questions);
    EXPECT_EQ(std::vector<bool>(3, true), noIsTheDefault);
    EXPECT_EQ(V({"B\xF6rse"}), rows());
    EXPECT_EQ(-1, list->SelectedRow());

    // A read-only favorite stays, and the user is told that it was not deleted.
    panel->Label47Click();
    ASSERT_TRUE(SetFileAttributesA(favorite("Wetter.url").c_str(), FILE_ATTRIBUTE_READONLY));
    select("Wetter");
    panel->Label48Click();
    EXPECT_TRUE(FileExistsA(favorite("Wetter.url")));
    EXPECT_EQ(deleteQuestion("Wetter"), questions.back());
    EXPECT_EQ(V({GetText(133), GetText(302)}), messages);
    EXPECT_EQ(kTop, rows());
    EXPECT_EQ("Wetter", chosen());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FavoritenPanelTest, AFavoriteGoneFromDiskIsNotRecreatedAndNotReportedAsDeleted) {
    select("Wetter");
    inEditor = [] {
        ASSERT_TRUE(DeleteFileA(favorite("Wetter.url").c_str()));
        URLChangeForm->Edit1->setText(QStringLiteral("http://neu.example/"));
        URLChangeForm->Label5Click();
    };
    panel->Label5Click();
    EXPECT_EQ(1u, editor.size());
    EXPECT_FALSE(FileExistsA(favorite("Wetter.url")));
    EXPECT_FALSE(URLChangeForm->isVisible());
    EXPECT_TRUE(messages.empty());

    select("Radio");
    ASSERT_TRUE(DeleteFileA(favorite("Radio.url").c_str()));
    answer = QMessageBox::Yes;
    panel->Label48Click();
    EXPECT_EQ(V({deleteQuestion("Radio")}), questions);
    EXPECT_EQ(V({GetText(302)}), messages);
    EXPECT_EQ(V({"Leer", "News", "Notes", "Termine.txt"}), rows());
    EXPECT_EQ(-1, list->SelectedRow());
}

TEST_F(FavoritenPanelTest, OnAFolderTheLinksOnlyOpenIt) {
    // A favorite chosen earlier stays chosen while folders open.
    select("Wetter");
    list->DblClick();
    ASSERT_EQ(favorite("Wetter.url"), list->SelectedFile());
    select("News");
    panel->Label48Click();
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    EXPECT_TRUE(FileExistsA(favorite("Wetter.url")));
    list->Loaded();
    select("News");
    panel->Label5Click();
    EXPECT_EQ(V({"B\xF6rse", "Tageblatt"}), rows());
    list->Loaded();
    select("Leer");
    panel->Label49Click();
    EXPECT_TRUE(rows().empty());
    // In an empty folder nothing is selected: each link says that a link must be chosen
    // first, and acts on nothing.
    panel->Label48Click();
    panel->Label5Click();
    panel->Label49Click();
    EXPECT_TRUE(FileExistsA(favorite("Wetter.url")));
    EXPECT_TRUE(executedTargets().empty());
    EXPECT_EQ(V({GetText(461), GetText(461), GetText(461)}), messages);
    EXPECT_EQ(favorite("Wetter.url"), list->SelectedFile());
}

// A read-only favorite in a folder the user may not change (the folder of all users' start-up
// programs, here the Favorites folder itself): the save fails, the user is told, and the file
// keeps its text and marks.
TEST_F(FavoritenPanelTest, AFavoriteThatCannotBeSavedIsShownAsAnErrorAndTheEditorStaysOpen) {
    const std::string before = fileBytes(favorite("Wetter.url"));
    ASSERT_TRUE(SetFileAttributesA(favorite("Wetter.url").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(platform.grantAdministrator());
    {
        UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                  "Shell Folders",
                                  0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(), nullptr));
        const std::string folder = favoritesFolder();
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "Common Startup", 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(folder.c_str()),
                                                static_cast<DWORD>(folder.size() + 1)));
    }
    platform::setSetting("admin", "no");
    select("Wetter");
    bool stillOpen = false;
    inEditor = [&] {
        URLChangeForm->Edit1->setText(QStringLiteral("http://neu.example/"));
        click(URLChangeForm->Label5); // through the message loop, as a user's click
        stillOpen = URLChangeForm->isVisible();
        URLChangeForm->Label4Click();
    };
    panel->Label5Click();
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find(favorite("Wetter.url"))) << errors[0];
    EXPECT_EQ(before, fileBytes(favorite("Wetter.url")));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(favorite("Wetter.url").c_str()));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(kTop, rows());
    EXPECT_EQ("Wetter", chosen());

    // Nor may it be deleted there: the user is told so.
    answer = QMessageBox::Yes;
    select("Radio");
    panel->Label48Click();
    EXPECT_EQ(V({GetText(302)}), messages);
    EXPECT_TRUE(FileExistsA(favorite("Radio.url")));
}

namespace {

class FavoritenPanelTextsTest : public FavoritenPanelTest,
                                public ::testing::WithParamInterface<int> {
  protected:
    int language() const override { return GetParam(); }
};

bool inside(const QWidget* child) {
    const QWidget* parent = child->parentWidget();
    return child->x() >= 0 && child->y() >= 0 && child->x() + child->width() <= parent->width() &&
           child->y() + child->height() <= parent->height();
}

} // namespace

// In each language every caption is the language's and fits where it stands; the links stand
// beside the list, each right of its glyph.
TEST_P(FavoritenPanelTextsTest, TextsFitAndLinksStandBesideTheList) {
    const std::pair<TLabel*, int> labels[] = {{panel->Label43, 131}, {panel->Label44, 132},
                                              {panel->Label47, 127}, {panel->Label49, 128},
                                              {panel->Label5, 129},  {panel->Label48, 130}};
    for (const auto& [label, text] : labels) {
        EXPECT_EQ(GetText(text), label->Caption()) << text;
        EXPECT_TRUE(inside(label)) << text;
    }
    EXPECT_EQ(AnsiToQString(GetText(126)), panel->GroupBox9->title());
    EXPECT_EQ(QStringList({AnsiToQString(GetText(124))}), panel->RichEdit5->Lines());
    for (const TLabel* link : {panel->Label47, panel->Label49, panel->Label5, panel->Label48}) {
        EXPECT_GT(link->x(), list->geometry().right());
        EXPECT_EQ(Qt::PointingHandCursor, link->cursor().shape());
    }
    EXPECT_LT(panel->Label44->geometry().bottom(), list->y());
    EXPECT_TRUE(inside(list));
    EXPECT_TRUE(inside(panel->GroupBox9));

    const std::pair<TLabel*, int> editorLabels[] = {{URLChangeForm->Label1, 134},
                                                    {URLChangeForm->Label3, 135},
                                                    {URLChangeForm->Label5, 136},
                                                    {URLChangeForm->Label4, 137}};
    for (const auto& [label, text] : editorLabels) {
        EXPECT_EQ(GetText(text), label->Caption()) << text;
        EXPECT_TRUE(inside(label)) << text;
    }
    EXPECT_EQ(AnsiToQString(GetText(1)), URLChangeForm->windowTitle());
    EXPECT_LT(URLChangeForm->Label5->geometry().right(), URLChangeForm->Image4->x());
}

// What the favorites page tells the user fits the message window above its button, in each
// language.
TEST_P(FavoritenPanelTextsTest, ItsMessagesFitTheMessageWindow) {
    for (int text : {133, 138, 300, 302}) {
        SCOPED_TRACE(text);
        ShowMessage2Form->Label2->SetCaption(GetText(text));
        ShowMessage2Form->CentreMessage();
        EXPECT_LT(ShowMessage2Form->Label2->geometry().bottom(), ShowMessage2Form->BitBtn2->y())
            << text;
        EXPECT_TRUE(inside(ShowMessage2Form->Label2)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, FavoritenPanelTextsTest, ::testing::Values(0, 1));
