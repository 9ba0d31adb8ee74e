// The folder dialog, the file-open dialog and the general error display, driven through the
// modal seam as a user would drive them.
#include "platform/gui/application.h"
#include "platform/gui/modal.h"
#include "platform/gui/windows.h"
#include "platform/shellicons.h"
#include "shell_support.h"
#include "support/application.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTreeWidget>

#include <cstring>
#include <functional>
#include <stdexcept>

using namespace conformance;
using namespace shell_test;

namespace {

class DialogTestBase : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        testing_support::EnsureApplication();
    }
    void TearDown() override {
        SetModalHook(nullptr);
        ShellTestBase::TearDown();
    }

    // The children of a dialog by class name, in child order.
    static std::vector<HWND> children(HWND dialog, const char* className) {
        std::vector<HWND> found;
        for (HWND child = FindWindowExA(dialog, nullptr, className, nullptr); child;
             child = FindWindowExA(dialog, child, className, nullptr))
            found.push_back(child);
        return found;
    }
    static std::string text(HWND window) {
        char buffer[512];
        std::memset(buffer, kJunkByte, sizeof buffer);
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }
    static void click(HWND button) {
        qobject_cast<QAbstractButton*>(WidgetOfHandle(button))->click();
    }
};

// What the folder dialog told its callback.
struct Recorder {
    std::vector<std::string> messages;
    std::string select; // chosen at BFFM_INITIALIZED
};

int browseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    auto* recorder = reinterpret_cast<Recorder*>(data);
    char path[MAX_PATH];
    if (message == BFFM_INITIALIZED) {
        recorder->messages.push_back("initialized");
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>("bitte w\xE4hlen"));
        if (!recorder->select.empty())
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(recorder->select.c_str()));
    } else if (message == BFFM_SELCHANGED) {
        const bool onDisk = SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
        recorder->messages.push_back("selected " + std::string(onDisk ? path : "(no path)"));
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(onDisk ? path : ""));
    }
    return 0;
}

class BrowseForFolderTest : public DialogTestBase {
  protected:
    BROWSEINFOA info(Recorder& recorder) {
        BROWSEINFOA bi{};
        bi.lpszTitle = "Please select your Download-Folder:";
        bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
        bi.lpfn = browseCallback;
        bi.lParam = reinterpret_cast<LPARAM>(&recorder);
        bi.pszDisplayName = name;
        std::memset(name, kJunkByte, sizeof name);
        name[sizeof name - 1] = '\0';
        bi.iImage = 0x5A5A;
        return bi;
    }
    static QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text) {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == text) return parent->child(i);
        return nullptr;
    }
    char name[MAX_PATH];
};

} // namespace

TEST_F(BrowseForFolderTest, TheCallbackSelectsTheStatusLineFollowsAndOkTakesOnlyFolders) {
    folder("C:\\Users\\User\\Downloads\\Musik");
    Recorder recorder;
    recorder.select = "C:\\Users\\User\\Downloads";
    BROWSEINFOA bi = info(recorder);
    std::vector<std::string> seen;
    SetModalHook([&](QWidget* window) {
        const HWND dialog = HandleOfWidget(window);
        const auto statics = children(dialog, "Static");
        const auto trees = children(dialog, "SysTreeView32");
        const auto buttons = children(dialog, "Button");
        ASSERT_EQ(2u, statics.size());
        ASSERT_EQ(1u, trees.size());
        ASSERT_EQ(2u, buttons.size());
        seen.push_back(text(statics[0]));
        seen.push_back(text(statics[1]));
        EXPECT_EQ("OK", text(buttons[0]));
        EXPECT_EQ("Cancel", text(buttons[1]));
        EXPECT_TRUE(IsWindowEnabled(buttons[0]));
        char className[32];
        EXPECT_EQ(13, GetClassNameA(trees[0], className, sizeof className));
        EXPECT_STREQ("SysTreeView32", className);

        auto* tree = qobject_cast<QTreeWidget*>(WidgetOfHandle(trees[0]));
        QTreeWidgetItem* downloads = tree->currentItem();
        ASSERT_EQ(QStringLiteral("Downloads"), downloads->text(0));
        // Children come when a folder is opened, not before.
        EXPECT_EQ(0, downloads->childCount());
        downloads->setExpanded(true);
        ASSERT_EQ(1, downloads->childCount());
        EXPECT_EQ(QStringLiteral("Musik"), downloads->child(0)->text(0));

        // My Computer is no file-system folder: OK goes grey.
        QTreeWidgetItem* computer = childNamed(tree->topLevelItem(0), "My Computer");
        ASSERT_NE(nullptr, computer);
        tree->setCurrentItem(computer);
        EXPECT_FALSE(IsWindowEnabled(buttons[0]));
        EXPECT_EQ("", text(statics[1]));
        EXPECT_EQ(2, computer->childCount()); // C: and Z:, opened on the way down
        tree->setCurrentItem(downloads->child(0));
        EXPECT_TRUE(IsWindowEnabled(buttons[0]));
        SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE); // the callback may still say no
        EXPECT_FALSE(IsWindowEnabled(buttons[0]));
        SendMessageA(dialog, BFFM_ENABLEOK, 0, TRUE);
        seen.push_back(text(statics[1]));
        click(buttons[0]);
    });
    List chosen(SHBrowseForFolderA(&bi));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(std::vector<std::string>(
                  {"Please select your Download-Folder:", "C:\\Users\\User\\Downloads",
                   "C:\\Users\\User\\Downloads\\Musik"}),
              seen);
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(chosen.get(), path));
    EXPECT_STREQ("C:\\Users\\User\\Downloads\\Musik", path);
    EXPECT_STREQ("Musik", name);
    EXPECT_EQ(platform::kIconFolder, bi.iImage);
    ASSERT_GE(recorder.messages.size(), 4u);
    EXPECT_EQ("initialized", recorder.messages[0]);
    EXPECT_EQ("selected C:\\Users\\User\\Downloads", recorder.messages[1]);
    EXPECT_EQ("selected C:\\Users\\User\\Downloads\\Musik", recorder.messages.back());
}

TEST_F(BrowseForFolderTest, CancelKeepsNothingAndAPathOutsideTheRootIsNotSelected) {
    folder("C:\\Users\\User\\Downloads");
    Recorder recorder;
    recorder.select = "C:\\Windows"; // outside the root below
    BROWSEINFOA bi = info(recorder);
    List root(ILCreateFromPathA("C:\\Users\\User"));
    bi.pidlRoot = root.get();
    bi.ulFlags = BIF_RETURNONLYFSDIRS; // no status line
    const std::string before = name;
    std::vector<HWND> statics;
    SetModalHook([&](QWidget* window) {
        const HWND dialog = HandleOfWidget(window);
        statics = children(dialog, "Static");
        ASSERT_EQ(2u, statics.size());
        EXPECT_FALSE(IsWindowVisible(statics[1]));
        EXPECT_EQ(FALSE, SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                                      reinterpret_cast<LPARAM>("C:\\Program Files")));
        EXPECT_EQ(TRUE, SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                                     reinterpret_cast<LPARAM>("C:\\Users\\User\\Downloads")));
        click(children(dialog, "Button")[1]);
    });
    EXPECT_EQ(nullptr, SHBrowseForFolderA(&bi));
    EXPECT_EQ(before, name);
    EXPECT_EQ(0x5A5A, bi.iImage);
    // The root itself was the first selection; the outside path changed nothing.
    ASSERT_GE(recorder.messages.size(), 3u);
    EXPECT_EQ("selected C:\\Users\\User", recorder.messages[1]);
    EXPECT_EQ("selected C:\\Users\\User\\Downloads", recorder.messages.back());
    EXPECT_FALSE(IsWindow(statics[0])); // the dialog is gone
}

namespace {

class GetOpenFileNameTest : public DialogTestBase {
  protected:
    void SetUp() override {
        DialogTestBase::SetUp();
        fileAt("C:\\Program Files\\Editoren\\ed.exe");
        fileAt("C:\\Program Files\\Editoren\\tool.com");
        fileAt("C:\\Program Files\\Editoren\\readme.txt");
        fileAt("C:\\Program Files\\Editoren\\versteckt.exe");
        folder("C:\\Program Files\\Editoren\\Alt");
        SetFileAttributesA("C:\\Program Files\\Editoren\\versteckt.exe", FILE_ATTRIBUTE_HIDDEN);
        std::memset(path, kJunkByte, sizeof path);
        path[0] = '\0';
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = "*.exe\0*.exe;*.com\0*.*\0*.*\0";
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = path;
        ofn.nMaxFile = sizeof path;
        ofn.lpstrInitialDir = "C:\\Program Files\\Editoren";
        ofn.lpstrTitle = "Please choose your favorite Editor:";
        ofn.lpstrDefExt = "*.exe";
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    }

    // Types a name into the dialog and presses Open.
    static void open(HWND dialog, const char* name) {
        SetWindowTextA(children(dialog, "Edit")[1], name);
        click(FindWindowExA(dialog, nullptr, "Button", "Open"));
    }
    static std::vector<std::string> listed(HWND dialog) {
        auto* list = qobject_cast<QListWidget*>(
            WidgetOfHandle(FindWindowExA(dialog, nullptr, "SysListView32", nullptr)));
        std::vector<std::string> names;
        for (int i = 0; i < list->count(); ++i)
            names.push_back(list->item(i)->text().toStdString());
        return names;
    }

    OPENFILENAMEA ofn{};
    char path[MAX_PATH];
};

} // namespace

TEST_F(GetOpenFileNameTest, FiltersListTheFolderAndTheDefaultExtensionCompletesTheName) {
    std::vector<std::string> messages;
    SetModalHook([&](QWidget* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            messages.push_back(box->text().toStdString());
            return; // closed by the seam: the dialog stays open
        }
        const HWND dialog = HandleOfWidget(window);
        EXPECT_EQ("Please choose your favorite Editor:", text(dialog));
        auto* types = qobject_cast<QComboBox*>(
            WidgetOfHandle(FindWindowExA(dialog, nullptr, "ComboBox", nullptr)));
        ASSERT_EQ(2, types->count());
        EXPECT_EQ(QStringLiteral("*.exe"), types->itemText(0));
        EXPECT_EQ(QStringLiteral("*.*"), types->itemText(1));
        EXPECT_EQ(std::vector<std::string>({"Alt", "ed.exe", "tool.com"}), listed(dialog));
        types->setCurrentIndex(1);
        EXPECT_EQ(std::vector<std::string>({"Alt", "ed.exe", "readme.txt", "tool.com"}),
                  listed(dialog));
        open(dialog, "fehlt");
        EXPECT_TRUE(window->isVisible());
        open(dialog, "ed");
    });
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ("C:\\Program Files\\Editoren\\ed.exe", path);
    EXPECT_EQ(std::strlen("C:\\Program Files\\Editoren\\"), ofn.nFileOffset);
    EXPECT_EQ(std::strlen("C:\\Program Files\\Editoren\\ed."), ofn.nFileExtension);
    EXPECT_EQ(2u, ofn.nFilterIndex);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("C:\\Program Files\\Editoren\\fehlt.exe\nFile not found.\n"
              "Check the file name and try again.",
              messages[0]);
}

TEST_F(GetOpenFileNameTest, CancelTooSmallABufferAndABadRecordAreTold) {
    SetModalHook([&](QWidget* window) {
        click(FindWindowExA(HandleOfWidget(window), nullptr, "Button", "Cancel"));
    });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(0u, CommDlgExtendedError());
    EXPECT_STREQ("", path);

    SetModalHook([&](QWidget* window) { open(HandleOfWidget(window), "tool.com"); });
    ofn.nMaxFile = 10;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(FNERR_BUFFERTOOSMALL, CommDlgExtendedError());
    WORD needed = 0;
    std::memcpy(&needed, path, sizeof needed);
    EXPECT_EQ(std::strlen("C:\\Program Files\\Editoren\\tool.com") + 1, needed);

    int shown = 0;
    SetModalHook([&](QWidget*) { ++shown; });
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CDERR_STRUCTSIZE, CommDlgExtendedError());
    EXPECT_EQ(0, shown);
}

namespace {

// A window whose handler fails with an I/O error, as a handler writing a file may.
class FailingWidget : public QWidget {
  public:
    int handled = 0;

  protected:
    void customEvent(QEvent*) override {
        ++handled;
        if (handled == 1) throw std::runtime_error("I/O error 5");
    }
};

using GeneralErrorDisplayTest = DialogTestBase;

} // namespace

TEST_F(GeneralErrorDisplayTest, AnErrorReachingTheLoopIsShownAndTheProgramGoesOn) {
    ASSERT_NE(nullptr, dynamic_cast<HostedApplication*>(QCoreApplication::instance()));
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Surfkolibri"));
    std::vector<std::string> shown;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    SetModalHook([&](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        ASSERT_NE(nullptr, box);
        shown.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
        icon = box->icon();
        EXPECT_EQ(QMessageBox::Ok, box->standardButtons());
    });
    FailingWidget widget;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(2, widget.handled); // the second event still came
    EXPECT_EQ(std::vector<std::string>({"Surfkolibri: I/O error 5."}), shown);
    EXPECT_EQ(QMessageBox::Critical, icon);

    ShowException(std::runtime_error("Schon ein Satz."));
    EXPECT_EQ("Surfkolibri: Schon ein Satz.", shown.back());
    QCoreApplication::setApplicationName(name);
}
