// The settings page and its windows as the user works them: the start-page window, the editor
// and folder choices through the platform's dialogs, the links, the explanations, and how the
// page looks in each language.
#include "cache/u_info.h"
#include "platform/gui/windows.h"
#include "settings/BrowseForFolder.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QTreeWidget>

using namespace settings_test;

namespace {

using IEPowerPanelTest = SettingsWindowTest;
using TChangeStartPageFormTest = SettingsWindowTest;
using TForm6Test = SettingsWindowTest;

HWND childOf(QWidget* window, const char* className, int index = 0) {
    HWND child = FindWindowExA(HandleOfWidget(window), nullptr, className, nullptr);
    for (int i = 0; i < index && child; ++i)
        child = FindWindowExA(HandleOfWidget(window), child, className, nullptr);
    return child;
}

void press(HWND button) {
    qobject_cast<QAbstractButton*>(WidgetOfHandle(button))->click();
}

// The folder dialog's item of a path, opened on the way down from the desktop.
QTreeWidgetItem* folderItem(QWidget* dialog, const std::vector<QString>& names) {
    auto* tree = qobject_cast<QTreeWidget*>(WidgetOfHandle(childOf(dialog, "SysTreeView32")));
    QTreeWidgetItem* current = tree->topLevelItem(0);
    for (const QString& name : names) {
        current->setExpanded(true);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < current->childCount() && !next; ++i)
            if (current->child(i)->text(0) == name) next = current->child(i);
        if (!next) return nullptr;
        current = next;
    }
    return current;
}

const std::vector<QString> kDownloads = {"My Computer", "Local Disk (C:)", "Users", "User",
                                         "Downloads"};

} // namespace

TEST_F(TChangeStartPageFormTest, SavingOrTheCloseBoxAppliesTheAddressDiscardingDoesNot) {
    setValue(kMain, "Start Page", untouched("about:blank"));
    start();
    bool mainWindowHidden = false;
    std::string offered;
    // Each showing of the window does what the next step says.
    std::function<void()> step;
    onModal = [&](QWidget* window) {
        ASSERT_EQ(ChangeStartPageForm, window);
        mainWindowHidden = !Form1->isVisible();
        offered = QStringToAnsi(ChangeStartPageForm->Edit1->text());
        step();
    };

    // The raw start page is offered, and saving it unchanged writes nothing.
    step = [] { ChangeStartPageForm->Label5->clicked(); };
    page()->Label46->clicked();
    EXPECT_EQ("about:blank", offered);
    EXPECT_TRUE(mainWindowHidden);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(untouched("about:blank"), valueOf(kMain, "Start Page"));
    EXPECT_EQ("about:blank " + GetText(152), page()->Label50->Caption());

    // Typed, then discarded: the start page stays.
    step = [] {
        ChangeStartPageForm->Edit1->setText(QStringLiteral("http://www.verworfen.example/"));
        ChangeStartPageForm->Label4->clicked();
    };
    page()->Label46->clicked();
    EXPECT_EQ(untouched("about:blank"), valueOf(kMain, "Start Page"));
    EXPECT_EQ("about:blank", QStringToAnsi(ChangeStartPageForm->Edit1->text()));

    // Typed, then the close box: taken as typed (the blanks around it go).
    step = [] {
        ChangeStartPageForm->Edit1->setText(QStringLiteral("  http://www.kolibri.example/  "));
        ChangeStartPageForm->close();
    };
    page()->Label46->clicked();
    EXPECT_EQ(written("http://www.kolibri.example/"), valueOf(kMain, "Start Page"));
    EXPECT_EQ("http://www.kolibri.example/", page()->Label50->Caption());

    // The same address in other letters is no change; Enter saves like the link.
    setValue(kMain, "Start Page",
             untouched("http://www.k\xFC"
                       "che.example/"));
    Form1->ReadBrowserSettings();
    step = [] {
        ChangeStartPageForm->Edit1->setText(AnsiToQString("HTTP://WWW.K\xDC"
                                                          "CHE.EXAMPLE/"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(ChangeStartPageForm->Edit1, &enter);
        EXPECT_FALSE(ChangeStartPageForm->isVisible());
    };
    page()->Label46->clicked();
    EXPECT_EQ(untouched("http://www.k\xFC"
                        "che.example/"),
              valueOf(kMain, "Start Page"));
    step = [] {
        ChangeStartPageForm->Edit1->setText(QStringLiteral("http://www.neu.example/"));
        ChangeStartPageForm->Label5->clicked();
    };
    page()->Label46->clicked();
    EXPECT_EQ(written("http://www.neu.example/"), valueOf(kMain, "Start Page"));
    EXPECT_EQ(5, modalWindows.size());
}

TEST_F(IEPowerPanelTest, TheStartPageLinkOpensThePageItself) {
    setValue(kMain, "Start Page", untouched("about:blank"));
    start();
    page()->Label50->clicked();
    setValue(kMain, "Start Page", untouched("http://www.kolibri.example/"));
    Form1->ReadBrowserSettings();
    page()->Label50->clicked();
    setValue(kMain, "Start Page", untouched(""));
    Form1->ReadBrowserSettings();
    page()->Label50->clicked();
    EXPECT_EQ(std::vector<std::string>({"about:blank", "http://www.kolibri.example/"}),
              executedTargets());
    EXPECT_EQ(3, clickSounds());
}

TEST_F(IEPowerPanelTest, TheEditorIsChosenInTheOpenDialogAndWrittenQuotedWhenItHasBlanks) {
    testing_support::writeHostFile(platform.hostPath("C:\\Program Files\\Kolibri Edit\\kedit.exe"),
                                   "MZ");
    testing_support::writeHostFile(platform.hostPath("C:\\Tools\\html.exe"), "MZ");
    setValue(kEditor, "", untouched("C:\\Tools\\html.exe %1"));
    start(1);
    std::string title;
    std::vector<QString> filters;
    std::function<void(QWidget*)> choose;
    onModal = [&](QWidget* window) {
        title = QStringToAnsi(window->windowTitle());
        auto* types = qobject_cast<QComboBox*>(WidgetOfHandle(childOf(window, "ComboBox")));
        filters.clear();
        for (int i = 0; types && i < types->count(); ++i)
            filters.push_back(types->itemText(i));
        choose(window);
    };
    const auto typeAndOpen = [](const char* name) {
        return [name](QWidget* window) {
            SetWindowTextA(childOf(window, "Edit", 1), name);
            // The dialog speaks the program's language: its buttons are the German words.
            press(FindWindowExA(HandleOfWidget(window), nullptr, "Button", GetText(469).c_str()));
        };
    };

    // Cancelled: nothing changes.
    choose = [](QWidget* window) {
        press(FindWindowExA(HandleOfWidget(window), nullptr, "Button", GetText(468).c_str()));
    };
    page()->Label60->clicked();
    EXPECT_EQ(GetText(157), title);
    EXPECT_EQ(std::vector<QString>({"*.exe", "*.*"}), filters);
    EXPECT_EQ(untouched("C:\\Tools\\html.exe %1"), valueOf(kEditor, ""));

    // A program in a folder with a blank: quoted, and shown without the quotes, so that the
    // link finds the file.
    choose = typeAndOpen("C:\\Program Files\\Kolibri Edit\\kedit");
    page()->Label60->clicked();
    EXPECT_EQ(written("\"C:\\Program Files\\Kolibri Edit\\kedit.exe\" %1"), valueOf(kEditor, ""));
    EXPECT_EQ("C:\\Program Files\\Kolibri Edit\\kedit.exe", page()->Label61->Caption());
    page()->Label61->clicked();
    EXPECT_EQ(std::vector<std::string>({"C:\\Program Files\\Kolibri Edit\\kedit.exe"}),
              executedTargets());

    // Without a blank: as it is, with " %1".
    choose = typeAndOpen("C:\\Tools\\html.exe");
    page()->Label60->clicked();
    EXPECT_EQ(written("C:\\Tools\\html.exe %1"), valueOf(kEditor, ""));
    EXPECT_EQ("C:\\Tools\\html.exe", page()->Label61->Caption());
    // A shown command that names no file runs nothing.
    setValue(kEditor, "", untouched("C:\\Tools\\html.exe -n"));
    Form1->ReadBrowserSettings();
    page()->Label61->clicked();
    EXPECT_EQ(1u, executedTargets().size());
}

TEST_F(IEPowerPanelTest, TheDownloadFolderIsChosenInTheFolderDialog) {
    CreateDirectoryA("C:\\Users\\User\\Downloads", nullptr);
    CreateDirectoryA("C:\\Users\\User\\Downloads\\Programme", nullptr);
    setValue(kInternetExplorer, "Download Directory", untouched("c:\\users\\user\\DOWNLOADS"));
    start();
    EXPECT_EQ("c:\\users\\user\\DOWNLOADS", page()->Label54->Caption());
    std::string title;
    std::string selected;
    std::string status;
    std::function<void(QWidget*)> choose;
    onModal = [&](QWidget* window) {
        title =
            QStringToAnsi(WidgetOfHandle(childOf(window, "Static"))->property("text").toString());
        auto* tree = qobject_cast<QTreeWidget*>(WidgetOfHandle(childOf(window, "SysTreeView32")));
        selected = tree->currentItem()->text(0).toStdString();
        char buffer[MAX_PATH];
        GetWindowTextA(childOf(window, "Static", 1), buffer, sizeof buffer);
        status = buffer;
        choose(window);
    };

    // It opens at the folder shown; cancelled, nothing changes.
    choose = [](QWidget* window) { press(childOf(window, "Button", 1)); };
    page()->Label53->clicked();
    EXPECT_EQ(GetText(156), title);
    EXPECT_EQ("Downloads", selected);
    EXPECT_EQ("C:\\Users\\User\\Downloads", status);
    EXPECT_EQ(untouched("c:\\users\\user\\DOWNLOADS"),
              valueOf(kInternetExplorer, "Download Directory"));

    // The same folder, as the file system spells it: no change.
    choose = [](QWidget* window) { press(childOf(window, "Button")); };
    page()->Label53->clicked();
    EXPECT_EQ(untouched("c:\\users\\user\\DOWNLOADS"),
              valueOf(kInternetExplorer, "Download Directory"));

    // Another folder: written, shown, and the next dialog starts there.
    choose = [](QWidget* window) {
        auto* tree = qobject_cast<QTreeWidget*>(WidgetOfHandle(childOf(window, "SysTreeView32")));
        std::vector<QString> path = kDownloads;
        path.push_back(QStringLiteral("Programme"));
        tree->setCurrentItem(folderItem(window, path));
        press(childOf(window, "Button"));
    };
    page()->Label53->clicked();
    EXPECT_EQ(written("C:\\Users\\User\\Downloads\\Programme"),
              valueOf(kInternetExplorer, "Download Directory"));
    EXPECT_EQ("C:\\Users\\User\\Downloads\\Programme", page()->Label54->Caption());
    EXPECT_EQ("C:\\Users\\User\\Downloads\\Programme",
              Form1->BrowseForFolderDialog1->StartupPath());
    choose = [](QWidget* window) { press(childOf(window, "Button", 1)); };
    page()->Label53->clicked();
    EXPECT_EQ("Programme", selected);
    EXPECT_EQ(4, clickSounds());
}

TEST_F(IEPowerPanelTest, ExplanationsShowTheirTextsAndThePasswordSwitchHasNone) {
    start(1);
    std::vector<QStringList> shown;
    onModal = [&](QWidget* window) {
        if (window == Form5) shown.push_back(Form5->MemoLines());
        if (window == Form6) {
            Form6->Image38->clicked();
            Form6->Image4->clicked();
            EXPECT_TRUE(Form6->Label1->parentWidget()->findChildren<TImage*>().isEmpty());
        }
    };
    page()->Image36->clicked();
    page()->Image40->clicked();
    page()->Image37->clicked();
    const auto lines = [](int number) {
        return AnsiToQString(GetText(number)).split(QLatin1Char('\n'));
    };
    ASSERT_EQ(4u, shown.size());
    EXPECT_EQ(lines(154), shown[0]);
    EXPECT_EQ(lines(155), shown[1]);
    EXPECT_EQ(lines(153), shown[2]);
    EXPECT_EQ(lines(194), shown[3]);
    EXPECT_EQ(std::vector<std::string>({"TForm5", "TForm5", "TForm6", "TForm5", "TForm5"}),
              modalWindows);
}

TEST_F(TForm6Test, ItOpensInPlaceOfTheMainWindowAndItsBackButtonClosesIt) {
    setValue(kMain, "FormSuggest Passwords", untouched("yes"));
    start();
    bool mainWindowHidden = false;
    onModal = [&](QWidget* window) {
        ASSERT_EQ(Form6, window);
        mainWindowHidden = !Form1->isVisible();
        // The boxes show the settings read at start-up, not on opening.
        EXPECT_TRUE(Form6->CheckBox1->isChecked());
        Form6->CheckBox1->click();
        EXPECT_EQ(written("no"), valueOf(kMain, "FormSuggest Passwords"));
        Form6->BitBtn5->click();
        EXPECT_FALSE(Form6->isVisible());
    };
    page()->Image37->clicked();
    EXPECT_TRUE(mainWindowHidden);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(3, clickSounds());
}

namespace {

class IEPowerPanelLayoutTest : public SettingsWindowTest,
                               public ::testing::WithParamInterface<int> {};

bool insideParent(const QWidget* child) {
    const QWidget* parent = child->parentWidget();
    return child->x() >= 0 && child->x() + child->width() <= parent->width() - 4 &&
           child->y() >= 0 && child->y() + child->height() <= parent->height();
}

} // namespace

// In each language every line fits its group, links and pictures follow their sentences on the
// same line, and the groups neither overlap nor reach the bottom row.
TEST_P(IEPowerPanelLayoutTest, TextsFitAndLinksFollowTheirSentences) {
    setValue(kMain, "Start Page", untouched("http://www.kolibri.example/" + std::string(120, 'x')));
    start(GetParam());
    IEPowerPanel* p = page();
    for (QWidget* w : std::initializer_list<QWidget*>{
             p->Label7,  p->Label45, p->Label46, p->Label55,   p->Label56,   p->Image37,
             p->Label58, p->Label59, p->Label60, p->CheckBox1, p->Label63,   p->Label62,
             p->Image36, p->Label51, p->Label52, p->Label53,   p->CheckBox3, p->Label57,
             p->Label64, p->Image40, p->Label50, p->Label61,   p->Label54})
        EXPECT_TRUE(insideParent(w))
            << w->metaObject()->className() << " " << QStringToAnsi(w->property("text").toString());
    const std::tuple<QWidget*, TLabel*, int> followers[] = {
        {p->Label46, p->Label45, 5}, {p->Label60, p->Label59, 5}, {p->Label53, p->Label52, 5},
        {p->Image36, p->Label62, 4}, {p->Image40, p->Label64, 4}, {p->Image37, p->Label56, 4},
        {p->Label62, p->Label63, 4}, {p->Label64, p->Label57, 4}};
    for (const auto& [follower, sentence, gap] : followers) {
        EXPECT_EQ(sentence->x() + sentence->width() + gap, follower->x()) << sentence->Caption();
        EXPECT_LE(std::abs(sentence->y() - follower->y()), 1) << sentence->Caption();
    }
    EXPECT_EQ(GetText(52), p->Label46->Caption());
    EXPECT_EQ(GetText(148), QStringToAnsi(p->CheckBox1->text()));
    // The long start page stays whole behind the shortened display.
    EXPECT_EQ("http://www.kolibri.example/" + std::string(120, 'x'), p->Label50->Caption());
    const QGroupBox* groups[] = {p->GroupBox10, p->GroupBox15, p->GroupBox13,
                                 p->GroupBox14, p->GroupBox12, p->GroupBox16};
    for (const QGroupBox* a : groups) {
        EXPECT_LE(a->geometry().bottom(), SectionPanel::kContentBottom);
        EXPECT_GE(a->geometry().top(), p->Introduction()->geometry().bottom() - 12);
        for (const QGroupBox* b : groups)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()));
    }
    for (QWidget* w : Form6->findChildren<QWidget*>()) {
        if (qobject_cast<TLabel*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<TImage*>(w)) {
            EXPECT_TRUE(insideParent(w)) << QStringToAnsi(w->property("text").toString());
        }
    }
    EXPECT_EQ(Form6->Label56->x() + Form6->Label56->width() + 4, Form6->Image38->x());
    EXPECT_EQ(Form6->Label4->x() + Form6->Label4->width() + 4, Form6->Image4->x());
    for (TLabel* link : {ChangeStartPageForm->Label5, ChangeStartPageForm->Label4})
        EXPECT_TRUE(insideParent(link));
    EXPECT_EQ(GetText(136), ChangeStartPageForm->Label5->Caption());
    EXPECT_EQ(GetText(1), QStringToAnsi(Form6->windowTitle()));
}

INSTANTIATE_TEST_SUITE_P(Languages, IEPowerPanelLayoutTest, ::testing::Values(0, 1));
