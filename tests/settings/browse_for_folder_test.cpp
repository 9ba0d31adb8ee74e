// The folder dialog component, driven through the modal seam as a user drives it: where it
// opens, what its status line says, what can be confirmed, its own edit box and extra button,
// and that every item list it took goes back.
#include "platform/gui/modal.h"
#include "platform/gui/windows.h"
#include "platform/shellicons.h"
#include "platform/taskalloc.h"
#include "settings/BrowseForFolder.h"
#include "support/application.h"
#include "support/platform_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

class TBrowseForFolderDialogTest : public testing_support::PlatformTest {
  protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        liveBefore_ = platform::liveTaskAllocations();
    }
    void TearDown() override {
        SetModalHook(nullptr);
        EXPECT_EQ(liveBefore_, platform::liveTaskAllocations())
            << "an item list of the dialog was not given back";
    }

    static void makeFolder(const std::string& windowsPath) {
        for (std::size_t pos = windowsPath.find('\\', 3);; pos = windowsPath.find('\\', pos + 1)) {
            CreateDirectoryA(windowsPath.substr(0, pos).c_str(), nullptr);
            if (pos == std::string::npos) break;
        }
    }

    // Runs the dialog with the hook given the dialog's handle.
    static bool run(TBrowseForFolderDialog& dialog, const std::function<void(HWND)>& hook) {
        SetModalHook([&](QWidget* window) { hook(HandleOfWidget(window)); });
        const bool result = dialog.Execute();
        SetModalHook(nullptr);
        return result;
    }

    static std::vector<HWND> children(HWND dialog, const char* className) {
        std::vector<HWND> found;
        for (HWND child = FindWindowExA(dialog, nullptr, className, nullptr); child;
             child = FindWindowExA(dialog, child, className, nullptr))
            found.push_back(child);
        return found;
    }
    static std::string text(HWND window) {
        char buffer[MAX_PATH * 2];
        buffer[0] = '\0';
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }
    static QTreeWidget* tree(HWND dialog) {
        return qobject_cast<QTreeWidget*>(
            WidgetOfHandle(FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr)));
    }
    // The item of a path below the tree's top, opened on the way down.
    static QTreeWidgetItem* item(HWND dialog, const std::vector<QString>& names) {
        QTreeWidgetItem* current = tree(dialog)->topLevelItem(0);
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
    static void press(HWND button) {
        qobject_cast<QAbstractButton*>(WidgetOfHandle(button))->click();
    }
    static HWND okButton(HWND dialog) { return children(dialog, "Button")[0]; }
    static HWND cancelButton(HWND dialog) { return children(dialog, "Button")[1]; }
    RECT place(HWND dialog, HWND control) const {
        RECT r{};
        GetWindowRect(control, &r);
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        ScreenToClient(dialog, &corners[0]);
        ScreenToClient(dialog, &corners[1]);
        return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    // The width of a text in a control's font.
    static int textWidth(HWND control, const std::string& value) {
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc, value.c_str(), static_cast<int>(value.size()), &size);
        ReleaseDC(control, dc);
        return size.cx;
    }

  private:
    std::size_t liveBefore_ = 0;
};

} // namespace

TEST_F(TBrowseForFolderDialogTest, TheStartFolderIsSelectedAndOnlyFileSystemFoldersCanBeConfirmed) {
    makeFolder("C:\\Users\\User\\Downloads\\Musik");
    std::vector<std::string> events;
    {
        TBrowseForFolderDialog dialog;
        EXPECT_EQ(bfMyComputer, dialog.StartupFolder());
        dialog.SetTitle("Bitte w\xE4hlen Sie Ihren Download-Ordner:");
        dialog.SetStartupPath("C:\\Users\\User\\Downloads");
        EXPECT_EQ(bfCustomPath, dialog.StartupFolder());
        dialog.OnExecuting = [&](TBrowseForFolderDialog&) { events.push_back("executing"); };
        dialog.OnInitialized = [&](TBrowseForFolderDialog&) { events.push_back("initialized"); };
        dialog.OnSelChanged = [&](TBrowseForFolderDialog& d) {
            events.push_back("selected " + d.SelectedPath());
        };
        dialog.OnExecuted = [&](TBrowseForFolderDialog&) { events.push_back("executed"); };

        const bool chosen = run(dialog, [&](HWND d) {
            const auto statics = children(d, "Static");
            ASSERT_EQ(2u, statics.size());
            const HWND status = statics[1];
            EXPECT_EQ("Bitte w\xE4hlen Sie Ihren Download-Ordner:", text(statics[0]));
            EXPECT_EQ(QStringLiteral("Downloads"), tree(d)->currentItem()->text(0));
            EXPECT_EQ("C:\\Users\\User\\Downloads", text(status));
            EXPECT_EQ("C:\\Users\\User\\Downloads", dialog.StatusText());
            EXPECT_EQ(LONG_PTR(SS_OWNERDRAW), GetWindowLongPtrA(status, GWL_STYLE) & SS_TYPEMASK);
            EXPECT_EQ(0, GetWindowLongPtrA(FindWindowExA(d, nullptr, "SysTreeView32", nullptr),
                                           GWL_STYLE) &
                             TVS_SHOWSELALWAYS);
            EXPECT_TRUE(IsWindowEnabled(okButton(d)));

            // Title and status line stand above the tree, as wide as it; the tree starts right
            // below the status line.
            const HWND treeWindow = FindWindowExA(d, nullptr, "SysTreeView32", nullptr);
            const RECT treePlace = place(d, treeWindow);
            for (HWND line : statics) {
                const RECT r = place(d, line);
                EXPECT_EQ(treePlace.left, r.left);
                EXPECT_EQ(treePlace.right, r.right);
            }
            EXPECT_EQ(place(d, status).bottom + 5, treePlace.top);

            // My Computer is no file-system folder: OK goes grey, the status line empty.
            tree(d)->setCurrentItem(item(d, {"My Computer"}));
            EXPECT_FALSE(IsWindowEnabled(okButton(d)));
            EXPECT_EQ("", dialog.StatusText());
            EXPECT_EQ("", dialog.SelectedPath());
            tree(d)->setCurrentItem(
                item(d, {"My Computer", "Local Disk (C:)", "Users", "User", "Downloads", "Musik"}));
            EXPECT_TRUE(IsWindowEnabled(okButton(d)));
            press(okButton(d));
        });
        ASSERT_TRUE(chosen);
        EXPECT_EQ("C:\\Users\\User\\Downloads\\Musik", dialog.SelectedPath());
        EXPECT_EQ("Musik", dialog.SelDisplayName());
        EXPECT_EQ(platform::kIconFolder, dialog.SeliImage());
    }
    ASSERT_GE(events.size(), 5u);
    EXPECT_EQ("executing", events[0]);
    EXPECT_EQ("initialized", events[1]);
    EXPECT_EQ("selected C:\\Users\\User\\Downloads", events[2]);
    EXPECT_EQ("selected C:\\Users\\User\\Downloads\\Musik", events[events.size() - 2]);
    EXPECT_EQ("executed", events.back());
}

TEST_F(TBrowseForFolderDialogTest,
       AStartPathThatNamesNoFolderOpensAtTheRootAndCancelKeepsTheChoice) {
    makeFolder("C:\\Users\\User\\Downloads");
    makeFolder("C:\\Users\\User\\Documents");
    // A path too long for the platform, whose first 259 characters name a folder: it is no
    // start folder, not even that one.
    const std::string longFolder = "C:\\" + std::string(200, 'd') + "\\" + std::string(55, 'e');
    ASSERT_EQ(259u, longFolder.size());
    makeFolder(longFolder);
    ASSERT_TRUE(DirectoryExistsA(longFolder));

    TBrowseForFolderDialog dialog;
    for (const std::string& start :
         {std::string("(no download folder set)"), longFolder + "\\fehlt", std::string()}) {
        SCOPED_TRACE(start);
        dialog.SetStartupPath(start);
        std::string current;
        EXPECT_FALSE(run(dialog, [&](HWND d) {
            current = tree(d)->currentItem()->text(0).toStdString();
            press(cancelButton(d));
        })) << start;
        EXPECT_EQ("Desktop", current) << start;
    }

    dialog.SetStartupPath("C:\\Users\\User\\Downloads");
    ASSERT_TRUE(run(dialog, [&](HWND d) { press(okButton(d)); }));
    EXPECT_EQ("C:\\Users\\User\\Downloads", dialog.SelectedPath());

    // Another folder highlighted, then cancelled: the former choice stands.
    EXPECT_FALSE(run(dialog, [&](HWND d) {
        tree(d)->setCurrentItem(
            item(d, {"My Computer", "Local Disk (C:)", "Users", "User", "Documents"}));
        EXPECT_EQ("C:\\Users\\User\\Documents", dialog.SelectedPath());
        press(cancelButton(d));
    }));
    EXPECT_EQ("C:\\Users\\User\\Downloads", dialog.SelectedPath());
    EXPECT_EQ("Downloads", dialog.SelDisplayName());

    // While the dialog is closed, setting the selected path sets the start; while it is open it
    // moves the selection.
    dialog.SetSelectedPath("C:\\Users\\User\\Documents");
    EXPECT_EQ("C:\\Users\\User\\Documents", dialog.StartupPath());
    ASSERT_TRUE(run(dialog, [&](HWND d) {
        EXPECT_EQ(QStringLiteral("Documents"), tree(d)->currentItem()->text(0));
        dialog.SetSelectedPath("C:\\Users\\User\\Downloads");
        EXPECT_EQ(QStringLiteral("Downloads"), tree(d)->currentItem()->text(0));
        press(okButton(d));
    }));
    EXPECT_EQ("C:\\Users\\User\\Downloads", dialog.SelectedPath());
}

TEST_F(TBrowseForFolderDialogTest, TheStatusLineShortensALongPathInTheMiddleAndPaintsIt) {
    const std::string deep = "C:\\Users\\User\\Downloads\\Programme und Werkzeuge f\xFCr die "
                             "Arbeit\\Installationsdateien aus dem Netz\\Fr\xFChjahr 2024";
    makeFolder(deep);
    TBrowseForFolderDialog dialog;
    dialog.SetStartupPath(deep);
    std::string shown;
    int statusWidth = 0;
    int shownWidth = 0;
    QImage painted;
    run(dialog, [&](HWND d) {
        const HWND status = children(d, "Static")[1];
        shown = text(status);
        RECT client{};
        GetClientRect(status, &client);
        statusWidth = client.right;
        shownWidth = textWidth(status, shown);
        painted = WidgetOfHandle(status)->grab().toImage();
        press(cancelButton(d));
    });
    EXPECT_EQ(shown, dialog.StatusText());
    EXPECT_LE(shownWidth, statusWidth);
    const auto dots = shown.find("...");
    ASSERT_NE(std::string::npos, dots) << shown;
    EXPECT_EQ(0u, shown.find("C:\\Users\\")) << shown;
    EXPECT_EQ("...\\Fr\xFChjahr 2024", shown.substr(dots)) << shown;
    // Drawn by the component: the button face behind the text.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(QColor(GetRValue(face), GetGValue(face), GetBValue(face)).rgb(),
              painted.pixel(painted.width() - 1, painted.height() / 2));

    // Below a root of its own the path is told from there; a drawing handler takes over.
    dialog.SetRootPath("C:\\Users\\User");
    int drawings = 0;
    HWND drawnItem = nullptr;
    dialog.OnDrawStatusText = [&](TBrowseForFolderDialog&, const DRAWITEMSTRUCT& item) {
        ++drawings;
        drawnItem = item.hwndItem;
    };
    dialog.SetStartupPath("C:\\Users\\User\\Downloads");
    HWND status = nullptr;
    run(dialog, [&](HWND d) {
        status = children(d, "Static")[1];
        EXPECT_EQ(QStringLiteral("User"), tree(d)->topLevelItem(0)->text(0));
        EXPECT_EQ("Downloads", text(status));
        WidgetOfHandle(status)->grab();
        press(cancelButton(d));
    });
    EXPECT_GE(drawings, 1);
    EXPECT_EQ(status, drawnItem);
}

TEST_F(TBrowseForFolderDialogTest, TheOwnEditBoxTakesTheStatusLinesPlaceAndTypingMovesTheTree) {
    makeFolder("C:\\Users\\User\\Downloads\\Musik");
    makeFolder("C:\\Users\\User\\Documents");
    TBrowseForFolderDialog dialog;
    dialog.SetOptions({bfoReturnOnlyFSDirs, bfoEdit, bfoEditDefault});
    dialog.SetRootPath("C:\\Users");
    dialog.SetStartupPath("C:\\Users\\User\\Downloads");
    std::vector<std::string> edited;
    dialog.OnEditChange = [&](TBrowseForFolderDialog& d) { edited.push_back(d.EditText()); };

    ASSERT_TRUE(run(dialog, [&](HWND d) {
        const auto edits = children(d, "Edit");
        ASSERT_EQ(1u, edits.size());
        const HWND edit = edits[0];
        const HWND status = children(d, "Static")[1];
        EXPECT_FALSE(IsWindowVisible(status));
        EXPECT_TRUE(IsWindowVisible(edit));
        const RECT treePlace = place(d, FindWindowExA(d, nullptr, "SysTreeView32", nullptr));
        const RECT editPlace = place(d, edit);
        EXPECT_EQ(place(d, status).top, editPlace.top);
        EXPECT_EQ(treePlace.left, editPlace.left);
        EXPECT_EQ(treePlace.right, editPlace.right);
        EXPECT_EQ(editPlace.bottom + 5, treePlace.top);
        EXPECT_EQ("User\\Downloads", text(edit));

        // Typing: the tree goes to the nearest folder that exists, the text stays as typed.
        WidgetOfHandle(d)->activateWindow();
        QApplication::processEvents();
        WidgetOfHandle(edit)->setFocus();
        ASSERT_EQ(edit, GetFocus());
        SetWindowTextA(edit, "User\\Dow");
        EXPECT_EQ(QStringLiteral("User"), tree(d)->currentItem()->text(0));
        EXPECT_EQ("User\\Dow", text(edit));
        SetWindowTextA(edit, "User\\Downloads\\Musik\\neu");
        EXPECT_EQ(QStringLiteral("Musik"), tree(d)->currentItem()->text(0));

        // Choosing in the tree writes the edit box again.
        WidgetOfHandle(FindWindowExA(d, nullptr, "SysTreeView32", nullptr))->setFocus();
        tree(d)->setCurrentItem(item(d, {"User", "Documents"}));
        EXPECT_EQ("User\\Documents", text(edit));
        tree(d)->setCurrentItem(tree(d)->topLevelItem(0));
        EXPECT_EQ("", text(edit));
        tree(d)->setCurrentItem(item(d, {"User", "Documents"}));
        press(okButton(d));
    }));
    EXPECT_EQ("C:\\Users\\User\\Documents", dialog.SelectedPath());
    // Every change is told, the component's own writing too.
    EXPECT_EQ(
        std::vector<std::string>({"User\\Downloads", "User\\Dow", "User\\Downloads\\Musik\\neu",
                                  "User\\Documents", "", "User\\Documents"}),
        edited);
    EXPECT_EQ("User\\Documents", dialog.EditText());
}

TEST_F(TBrowseForFolderDialogTest, NearestExistingPathCutsBackToAFolderThatIsThere) {
    makeFolder("C:\\Users\\User\\Downloads");
    EXPECT_EQ("C:\\Users\\User\\Downloads",
              TBrowseForFolderDialog::NearestExistingPath("C:\\Users\\User\\Downloads"));
    EXPECT_EQ("C:\\Users\\User",
              TBrowseForFolderDialog::NearestExistingPath("C:\\Users\\User\\Dow"));
    EXPECT_EQ("C:\\Users\\User",
              TBrowseForFolderDialog::NearestExistingPath("C:\\Users\\User/Neu/Ordner"));
    EXPECT_EQ("C:\\", TBrowseForFolderDialog::NearestExistingPath("C:\\Nirgends\\x"));
    EXPECT_EQ("", TBrowseForFolderDialog::NearestExistingPath("Q:\\x"));
    EXPECT_EQ("", TBrowseForFolderDialog::NearestExistingPath("Downloads"));
    EXPECT_EQ("", TBrowseForFolderDialog::NearestExistingPath(""));
}

TEST_F(TBrowseForFolderDialogTest, AnExtraCheckBoxSitsBesideOkAndOnlyAnExistingButtonCanBeSet) {
    makeFolder("C:\\Users\\User\\Downloads");
    TBrowseForFolderDialog dialog;
    dialog.SetStartupPath("C:\\Users\\User\\Downloads");
    dialog.SetCustomButtonType(bfbCheckBox);
    dialog.SetCustomButtonCaption("Unterordner anzeigen");
    dialog.SetCustomButtonChecked(true);
    dialog.SetTreeViewHideSelection(false);
    int clicks = 0;
    dialog.OnCustomButtonClick = [&](TBrowseForFolderDialog&) { ++clicks; };

    run(dialog, [&](HWND d) {
        const auto buttons = children(d, "Button");
        ASSERT_EQ(3u, buttons.size());
        const HWND extra = buttons[2];
        EXPECT_EQ("Unterordner anzeigen", text(extra));
        EXPECT_EQ(LRESULT(BST_CHECKED), SendMessageA(extra, BM_GETCHECK, 0, 0));
        const RECT ok = place(d, okButton(d));
        const RECT mine = place(d, extra);
        EXPECT_EQ(ok.top, mine.top);
        EXPECT_EQ(ok.bottom, mine.bottom);
        EXPECT_LE(mine.right, ok.left);
        EXPECT_EQ(place(d, FindWindowExA(d, nullptr, "SysTreeView32", nullptr)).left, mine.left);
        EXPECT_LE(textWidth(extra, "Unterordner anzeigen"), mine.right - mine.left);
        const HWND treeWindow = FindWindowExA(d, nullptr, "SysTreeView32", nullptr);
        EXPECT_NE(0, GetWindowLongPtrA(treeWindow, GWL_STYLE) & TVS_SHOWSELALWAYS);
        dialog.SetTreeViewHideSelection(true);
        EXPECT_EQ(0, GetWindowLongPtrA(treeWindow, GWL_STYLE) & TVS_SHOWSELALWAYS);

        press(extra);
        EXPECT_EQ(1, clicks);
        EXPECT_FALSE(dialog.CustomButtonChecked());
        dialog.SetCustomButtonEnabled(false);
        EXPECT_FALSE(IsWindowEnabled(extra));
        dialog.SetCustomButtonCaption("Anders");
        EXPECT_EQ("Anders", text(extra));
        press(cancelButton(d));
    });

    dialog.SetCustomButtonType(bfbNone);
    run(dialog, [&](HWND d) {
        EXPECT_EQ(2u, children(d, "Button").size());
        try {
            dialog.SetCustomButtonVisible(false);
            ADD_FAILURE() << "no error for a button that is not there";
        } catch (const EBrowseForFolderDialog& error) {
            EXPECT_STREQ("Custom button does not exist.", error.what());
        }
        press(cancelButton(d));
    });
    // Closed again, the properties are only kept.
    dialog.SetCustomButtonVisible(false);
    EXPECT_FALSE(dialog.CustomButtonVisible());
}
