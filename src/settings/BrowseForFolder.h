// TBrowseForFolderDialog: the shell's folder dialog as a component. It chooses the top of the
// tree and the folder selected at the start, keeps the status line on the highlighted folder
// (shortened in the middle when it is too long), and can put an edit box of its own and an
// extra button into the dialog. Written over the Win32 calls alone.
#pragma once

#include "platform/win32.h"

#include <functional>
#include <set>
#include <stdexcept>
#include <string>

enum TbfSpecialFolder {
    bfDesktop,
    bfPrograms,
    bfControls,
    bfPrinters,
    bfPersonal,
    bfFavorites,
    bfStartUp,
    bfRecentFiles,
    bfSendTo,
    bfRecycleBin,
    bfStartMenu,
    bfDesktopDirectory,
    bfMyComputer,
    bfNetwork,
    bfNethoodDirectory,
    bfFonts,
    bfShellNew,
    bfCommonStartmenu,
    bfCommonPrograms,
    bfCommonStartup,
    bfCommonDesktopDirectory,
    bfAppData,
    bfPrintHood,
    bfCustomPath
};

// The shell's special folder a value stands for; -1 for bfCustomPath.
int SpecialFolderCSIDL(TbfSpecialFolder folder);

enum TbfOption {
    bfoBrowseForComputer,
    bfoBrowseForPrinter,
    bfoDontGoBelowDomain,
    bfoReturnFSAncestors,
    bfoReturnOnlyFSDirs,
    bfoStatusText,
    bfoBrowseIncludeFiles,
    bfoEdit,
    bfoStatusTextDefault,
    bfoEditDefault,
    bfoStatusTextOwnerDraw
};
using TbfOptions = std::set<TbfOption>;

enum TbfCustomButton { bfbNone, bfbButton, bfbCheckBox };

class EBrowseForFolderDialog : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TBrowseForFolderDialog {
  public:
    using TNotifyEvent = std::function<void(TBrowseForFolderDialog& Sender)>;
    using TOwnerDrawEvent =
        std::function<void(TBrowseForFolderDialog& Sender, const DRAWITEMSTRUCT& Item)>;

    // owner: the window the dialog belongs to (may be null).
    explicit TBrowseForFolderDialog(HWND owner = nullptr);
    ~TBrowseForFolderDialog();
    TBrowseForFolderDialog(const TBrowseForFolderDialog&) = delete;
    TBrowseForFolderDialog& operator=(const TBrowseForFolderDialog&) = delete;

    // Shows the dialog modally: true when the user confirmed a folder.
    bool Execute();

    std::string About() const;
    void SetAbout(const std::string&) {}

    TbfSpecialFolder RootFolder() const { return rootFolder_; }
    void SetRootFolder(TbfSpecialFolder folder);
    const std::string& RootPath() const { return rootPath_; }
    // Also makes RootFolder bfCustomPath.
    void SetRootPath(const std::string& path);
    TbfSpecialFolder StartupFolder() const { return startupFolder_; }
    void SetStartupFolder(TbfSpecialFolder folder);
    const std::string& StartupPath() const { return startupPath_; }
    // Also makes StartupFolder bfCustomPath.
    void SetStartupPath(const std::string& path);

    // The file-system path of the chosen folder (of the highlighted one while the dialog is
    // open); empty for items outside the file system.
    const std::string& SelectedPath() const { return selectedPath_; }
    // While the dialog is open it moves the selection there, else it sets StartupPath.
    void SetSelectedPath(const std::string& path);
    const std::string& SelDisplayName() const { return selDisplayName_; }
    int SeliImage() const { return seliImage_; }

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const TbfOptions& Options() const { return options_; }
    void SetOptions(const TbfOptions& options) { options_ = options; }
    const std::string& StatusText() const { return statusText_; }
    void SetStatusText(const std::string& text);
    const std::string& EditText() const { return editText_; }
    void SetEditText(const std::string& text);
    const std::string& EditAttachment() const { return editAttachment_; }
    void SetEditAttachment(const std::string& text) { editAttachment_ = text; }

    // The extra button; setting one of these while the dialog is open without such a button
    // raises EBrowseForFolderDialog.
    TbfCustomButton CustomButtonType() const { return customButtonType_; }
    void SetCustomButtonType(TbfCustomButton type);
    const std::string& CustomButtonCaption() const { return customButtonCaption_; }
    void SetCustomButtonCaption(const std::string& caption);
    bool CustomButtonEnabled() const { return customButtonEnabled_; }
    void SetCustomButtonEnabled(bool enabled);
    bool CustomButtonVisible() const { return customButtonVisible_; }
    void SetCustomButtonVisible(bool visible);
    bool CustomButtonChecked() const { return customButtonChecked_; }
    void SetCustomButtonChecked(bool checked);

    bool TreeViewHideSelection() const { return treeViewHideSelection_; }
    void SetTreeViewHideSelection(bool hide);

    TNotifyEvent OnExecuting;
    TNotifyEvent OnInitialized;
    TNotifyEvent OnSelChanged;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnCustomButtonClick;
    TNotifyEvent OnExecuted;
    TOwnerDrawEvent OnDrawStatusText;

    // The longest leading part of the path, cut back at a "\", "/" or ":", that names an
    // existing folder; empty when none does.
    static std::string NearestExistingPath(const std::string& path);

  private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
    static LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool has(TbfOption option) const { return options_.count(option) > 0; }
    PIDLIST_ABSOLUTE makeList(TbfSpecialFolder folder, const std::string& path) const;
    PIDLIST_ABSOLUTE pathToPIDL(const std::string& path) const;
    void remakeRootList();
    void remakeStartList();
    std::string rootFolderPath() const;
    std::string relativeToRoot(const std::string& path) const;
    std::string shortenedForStatusLine(const std::string& text) const;
    RECT placeInDialog(HWND control) const;

    void dialogInitialized(HWND dialog);
    void findControls();
    void createEditBox(HFONT font);
    void createCustomButton(HFONT font);
    void arrangeControls();
    void applyTreeViewHideSelection();
    void selectionChanged(PCIDLIST_ABSOLUTE list);
    void editBoxChanged();
    void customButtonClicked();
    void drawStatusText(const DRAWITEMSTRUCT& item);
    void setEditBoxText(const std::string& text);
    void requireCustomButton() const;
    void forgetDialog();

    HWND owner_;
    TbfSpecialFolder rootFolder_ = bfDesktop;
    std::string rootPath_;
    TbfSpecialFolder startupFolder_ = bfMyComputer;
    std::string startupPath_;
    PidlRef rootList_;
    PidlRef startList_;
    PidlRef selectionList_;
    std::string selectedPath_;
    std::string selDisplayName_;
    int seliImage_ = 0;
    std::string title_;
    TbfOptions options_ = {bfoReturnOnlyFSDirs, bfoStatusText, bfoStatusTextDefault, bfoEditDefault,
                           bfoStatusTextOwnerDraw};
    std::string statusText_;
    std::string editText_;
    std::string editAttachment_;
    TbfCustomButton customButtonType_ = bfbNone;
    std::string customButtonCaption_;
    bool customButtonEnabled_ = true;
    bool customButtonVisible_ = true;
    bool customButtonChecked_ = false;
    bool treeViewHideSelection_ = true;

    // The dialog while it is open, and its parts.
    bool open_ = false;
    HWND dialog_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    HWND titleLine_ = nullptr;
    HWND statusLine_ = nullptr;
    HWND tree_ = nullptr;
    HWND okButton_ = nullptr;
    HWND cancelButton_ = nullptr;
    HWND editBox_ = nullptr;
    HWND customButton_ = nullptr;
    bool settingEditText_ = false;
};
