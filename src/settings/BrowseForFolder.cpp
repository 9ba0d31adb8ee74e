#include "settings/BrowseForFolder.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr int kSpecialFolders[] = {
    CSIDL_DESKTOP,         CSIDL_PROGRAMS,       CSIDL_CONTROLS,
    CSIDL_PRINTERS,        CSIDL_PERSONAL,       CSIDL_FAVORITES,
    CSIDL_STARTUP,         CSIDL_RECENT,         CSIDL_SENDTO,
    CSIDL_BITBUCKET,       CSIDL_STARTMENU,      CSIDL_DESKTOPDIRECTORY,
    CSIDL_DRIVES,          CSIDL_NETWORK,        CSIDL_NETHOOD,
    CSIDL_FONTS,           CSIDL_TEMPLATES,      CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTUP, CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_APPDATA,         CSIDL_PRINTHOOD};

constexpr int kEditBoxId = 0x3744;
constexpr int kCustomButtonId = 0x3745;
// Space between the tree and the status line (or edit box) above it.
constexpr int kTreeGap = 5;

std::string upper(const std::string& text) {
    std::string result = text;
    if (!result.empty()) CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

std::string windowText(HWND window) {
    char buffer[MAX_PATH * 2];
    buffer[0] = '\0';
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string windowClass(HWND window) {
    char name[64];
    name[0] = '\0';
    GetClassNameA(window, name, sizeof name);
    return upper(name);
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string withoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

bool isEmptyList(PCIDLIST_ABSOLUTE list) {
    return list && list->mkid.cb == 0;
}

} // namespace

int SpecialFolderCSIDL(TbfSpecialFolder folder) {
    const auto index = static_cast<std::size_t>(folder);
    return index < std::size(kSpecialFolders) ? kSpecialFolders[index] : -1;
}

TBrowseForFolderDialog::TBrowseForFolderDialog(HWND owner) : owner_(owner) {
    remakeRootList();
    remakeStartList();
}

TBrowseForFolderDialog::~TBrowseForFolderDialog() = default;

std::string TBrowseForFolderDialog::About() const {
    return "TBrowseForFolderDialog 2.8 - the shell's folder dialog with a status line, an edit "
           "box and a button of its own";
}

// ---- Root and start lists ------------------------------------------------------------------

PIDLIST_ABSOLUTE TBrowseForFolderDialog::pathToPIDL(const std::string& path) const {
    // A path the platform cannot hold names no folder; it is never cut to another one.
    if (path.empty() || path.size() >= MAX_PATH) return nullptr;
    WCHAR wide[MAX_PATH];
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (length <= 0) return nullptr;
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) return nullptr;
    ULONG eaten = 0;
    PIDLIST_RELATIVE list = nullptr;
    const HRESULT hr = desktop->ParseDisplayName(owner_, nullptr, wide, &eaten, &list, nullptr);
    return SUCCEEDED(hr) ? list : nullptr;
}

PIDLIST_ABSOLUTE TBrowseForFolderDialog::makeList(TbfSpecialFolder folder,
                                                  const std::string& path) const {
    if (folder == bfCustomPath) return pathToPIDL(path);
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner_, SpecialFolderCSIDL(folder), &list)))
        return nullptr;
    return list;
}

void TBrowseForFolderDialog::remakeRootList() {
    rootList_.reset(makeList(rootFolder_, rootPath_));
}

void TBrowseForFolderDialog::remakeStartList() {
    startList_.reset(makeList(startupFolder_, startupPath_));
}

void TBrowseForFolderDialog::SetRootFolder(TbfSpecialFolder folder) {
    rootFolder_ = folder;
    remakeRootList();
}

void TBrowseForFolderDialog::SetRootPath(const std::string& path) {
    rootPath_ = path;
    SetRootFolder(bfCustomPath);
}

void TBrowseForFolderDialog::SetStartupFolder(TbfSpecialFolder folder) {
    startupFolder_ = folder;
    remakeStartList();
}

void TBrowseForFolderDialog::SetStartupPath(const std::string& path) {
    startupPath_ = path;
    SetStartupFolder(bfCustomPath);
}

void TBrowseForFolderDialog::SetSelectedPath(const std::string& path) {
    if (open_)
        SendMessageA(dialog_, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    else
        SetStartupPath(path);
}

// The file-system path of the root; empty with the desktop as root.
std::string TBrowseForFolderDialog::rootFolderPath() const {
    if (!rootList_ || isEmptyList(rootList_.get())) return {};
    char path[MAX_PATH];
    return SHGetPathFromIDListA(rootList_.get(), path) ? path : std::string();
}

std::string TBrowseForFolderDialog::relativeToRoot(const std::string& path) const {
    const std::string root = withoutTrailingBackslash(rootFolderPath());
    if (root.empty() || path.size() < root.size() ||
        upper(path.substr(0, root.size())) != upper(root))
        return path;
    std::string rest = path.substr(root.size());
    if (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);
    return rest;
}

// ---- Execute -------------------------------------------------------------------------------

bool TBrowseForFolderDialog::Execute() {
    if (OnExecuting) OnExecuting(*this);
    const std::string formerPath = selectedPath_;
    if (!rootList_) remakeRootList();

    char displayName[MAX_PATH];
    displayName[0] = '\0';
    BROWSEINFOA info{};
    info.hwndOwner = owner_;
    info.pidlRoot = rootList_.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = title_.c_str();
    info.lpfn = &TBrowseForFolderDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    if (has(bfoBrowseForComputer)) info.ulFlags |= BIF_BROWSEFORCOMPUTER;
    if (has(bfoBrowseForPrinter)) info.ulFlags |= BIF_BROWSEFORPRINTER;
    if (has(bfoDontGoBelowDomain)) info.ulFlags |= BIF_DONTGOBELOWDOMAIN;
    if (has(bfoReturnFSAncestors)) info.ulFlags |= BIF_RETURNFSANCESTORS;
    if (has(bfoReturnOnlyFSDirs)) info.ulFlags |= BIF_RETURNONLYFSDIRS;
    if (has(bfoStatusText) || has(bfoEdit)) info.ulFlags |= BIF_STATUSTEXT;
    if (has(bfoBrowseIncludeFiles)) info.ulFlags |= BIF_BROWSEINCLUDEFILES;

    PIDLIST_ABSOLUTE chosen = nullptr;
    try {
        chosen = SHBrowseForFolderA(&info);
    } catch (...) {
        forgetDialog();
        selectedPath_ = formerPath;
        throw;
    }
    forgetDialog();

    bool result = false;
    if (chosen) {
        if (chosen != selectionList_.get()) selectionList_.reset(chosen);
        char path[MAX_PATH];
        selectedPath_ = SHGetPathFromIDListA(chosen, path) ? path : std::string();
        selDisplayName_ =
            std::string(displayName, std::find(displayName, displayName + MAX_PATH, '\0'));
        seliImage_ = info.iImage;
        result = true;
    } else {
        // Whatever was highlighted meanwhile, the former choice stands.
        selectedPath_ = formerPath;
    }
    if (OnExecuted) OnExecuted(*this);
    return result;
}

void TBrowseForFolderDialog::forgetDialog() {
    open_ = false;
    dialog_ = nullptr;
    titleLine_ = statusLine_ = tree_ = okButton_ = cancelButton_ = nullptr;
    editBox_ = nullptr;
    customButton_ = nullptr;
}

int CALLBACK TBrowseForFolderDialog::BrowseCallback(HWND window, UINT message, LPARAM lParam,
                                                    LPARAM data) {
    auto* self = reinterpret_cast<TBrowseForFolderDialog*>(data);
    if (!self) return 0;
    if (message == BFFM_INITIALIZED)
        self->dialogInitialized(window);
    else if (message == BFFM_SELCHANGED)
        self->selectionChanged(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
    return 0;
}

LRESULT CALLBACK TBrowseForFolderDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    auto* self =
        reinterpret_cast<TBrowseForFolderDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->open_) {
        if (message == WM_COMMAND && lParam) {
            const auto from = reinterpret_cast<HWND>(lParam);
            if (from == self->editBox_ && HIWORD(wParam) == EN_CHANGE) {
                self->editBoxChanged();
                return 0;
            }
            if (from == self->customButton_ && HIWORD(wParam) == BN_CLICKED) {
                self->customButtonClicked();
                return 0;
            }
        } else if (message == WM_DRAWITEM && lParam) {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->hwndItem == self->statusLine_) {
                self->drawStatusText(*item);
                return TRUE;
            }
        }
    }
    return CallWindowProcA(self ? self->previousProc_ : nullptr, window, message, wParam, lParam);
}

// ---- The dialog opens ----------------------------------------------------------------------

void TBrowseForFolderDialog::dialogInitialized(HWND dialog) {
    dialog_ = dialog;
    open_ = true;
    if (!startList_) remakeStartList();

    previousProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(dialog, GWLP_WNDPROC));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
    findControls();

    const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (has(bfoEdit)) {
        createEditBox(font);
    } else if (has(bfoStatusText) && has(bfoStatusTextOwnerDraw) && statusLine_) {
        const LONG_PTR style = GetWindowLongPtrA(statusLine_, GWL_STYLE);
        SetWindowLongPtrA(statusLine_, GWL_STYLE, (style & ~LONG_PTR(SS_TYPEMASK)) | SS_OWNERDRAW);
    }
    if (customButtonType_ != bfbNone) createCustomButton(font);
    if (has(bfoStatusText))
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(statusText_.c_str()));
    arrangeControls();
    applyTreeViewHideSelection();
    if (OnInitialized) OnInitialized(*this);
    // Without a start list the dialog stays at its root.
    if (startList_)
        SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(startList_.get()));
}

void TBrowseForFolderDialog::findControls() {
    int statics = 0;
    int buttons = 0;
    for (HWND child = FindWindowExA(dialog_, nullptr, nullptr, nullptr); child;
         child = FindWindowExA(dialog_, child, nullptr, nullptr)) {
        const std::string name = windowClass(child);
        if (name == "STATIC") {
            if (statics == 0) titleLine_ = child;
            if (statics == 1) statusLine_ = child;
            ++statics;
        } else if (name == "SYSTREEVIEW32") {
            if (!tree_) tree_ = child;
        } else if (name == "BUTTON") {
            if (buttons == 0) okButton_ = child;
            if (buttons == 1) cancelButton_ = child;
            ++buttons;
        }
    }
}

RECT TBrowseForFolderDialog::placeInDialog(HWND control) const {
    RECT place = {0, 0, 0, 0};
    if (!control || !GetWindowRect(control, &place)) return place;
    POINT corners[2] = {{place.left, place.top}, {place.right, place.bottom}};
    ScreenToClient(dialog_, &corners[0]);
    ScreenToClient(dialog_, &corners[1]);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void TBrowseForFolderDialog::createEditBox(HFONT font) {
    if (!statusLine_) return;
    const RECT place = placeInDialog(statusLine_);
    ShowWindow(statusLine_, SW_HIDE);
    editBox_ =
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", editText_.c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, dialog_,
                        reinterpret_cast<HMENU>(std::intptr_t{kEditBoxId}), nullptr, nullptr);
    if (!editBox_)
        throw EBrowseForFolderDialog("The edit box of the folder dialog could not be created "
                                     "(error " +
                                     std::to_string(GetLastError()) + ").");
    if (font) SendMessageA(editBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TBrowseForFolderDialog::createCustomButton(HFONT font) {
    if (!okButton_) return;
    const RECT ok = placeInDialog(okButton_);
    const RECT tree = placeInDialog(tree_);
    // As wide as its caption needs, at least as wide as OK, and never into OK.
    int width = ok.right - ok.left;
    if (HDC dc = GetDC(okButton_)) {
        HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        SIZE size{};
        if (GetTextExtentPoint32A(dc, customButtonCaption_.c_str(),
                                  static_cast<int>(customButtonCaption_.size()), &size))
            width = std::max<int>(width, size.cx + 24);
        if (previous) SelectObject(dc, previous);
        ReleaseDC(okButton_, dc);
    }
    const int left = tree_ ? tree.left : 8;
    width = std::max(0, std::min(width, static_cast<int>(ok.left) - 8 - left));
    DWORD style = WS_CHILD | WS_TABSTOP;
    style |= customButtonType_ == bfbCheckBox ? BS_AUTOCHECKBOX : BS_PUSHBUTTON;
    if (customButtonVisible_) style |= WS_VISIBLE;
    if (!customButtonEnabled_) style |= WS_DISABLED;
    customButton_ = CreateWindowExA(
        0, "BUTTON", customButtonCaption_.c_str(), style, left, ok.top, width, ok.bottom - ok.top,
        dialog_, reinterpret_cast<HMENU>(std::intptr_t{kCustomButtonId}), nullptr, nullptr);
    if (!customButton_) return;
    if (font) SendMessageA(customButton_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (customButtonType_ == bfbCheckBox)
        SendMessageA(customButton_, BM_SETCHECK, customButtonChecked_ ? BST_CHECKED : BST_UNCHECKED,
                     0);
}

// The title and the status line (or edit box) line up with the tree, which starts right below
// them and keeps its bottom edge.
void TBrowseForFolderDialog::arrangeControls() {
    if (!tree_) return;
    RECT tree = placeInDialog(tree_);
    const LONG width = tree.right - tree.left;
    if (titleLine_) {
        const RECT title = placeInDialog(titleLine_);
        MoveWindow(titleLine_, tree.left, title.top, width, title.bottom - title.top, TRUE);
    }
    if (HWND line = editBox_ ? editBox_ : statusLine_) {
        const RECT status = placeInDialog(line);
        MoveWindow(line, tree.left, status.top, width, status.bottom - status.top, TRUE);
        tree.top = status.bottom + kTreeGap;
    }
    MoveWindow(tree_, tree.left, tree.top, width, std::max<LONG>(0, tree.bottom - tree.top), TRUE);
}

void TBrowseForFolderDialog::applyTreeViewHideSelection() {
    if (!tree_) return;
    LONG_PTR style = GetWindowLongPtrA(tree_, GWL_STYLE);
    if (treeViewHideSelection_)
        style &= ~LONG_PTR(TVS_SHOWSELALWAYS);
    else
        style |= TVS_SHOWSELALWAYS;
    SetWindowLongPtrA(tree_, GWL_STYLE, style);
}

// ---- While it is open ----------------------------------------------------------------------

void TBrowseForFolderDialog::selectionChanged(PCIDLIST_ABSOLUTE list) {
    char path[MAX_PATH];
    selectedPath_ = list && SHGetPathFromIDListA(list, path) ? path : std::string();
    if (has(bfoStatusText) && has(bfoStatusTextDefault))
        SetStatusText(shortenedForStatusLine(relativeToRoot(selectedPath_)));
    if (has(bfoEdit) && has(bfoEditDefault) && editBox_ && GetFocus() != editBox_) {
        const bool atRoot = rootList_ ? ILIsEqual(list, rootList_.get()) : isEmptyList(list);
        setEditBoxText(atRoot ? editAttachment_
                              : withoutTrailingBackslash(relativeToRoot(selectedPath_)) +
                                    editAttachment_);
    }
    if (OnSelChanged) OnSelChanged(*this);
}

std::string TBrowseForFolderDialog::shortenedForStatusLine(const std::string& text) const {
    if (!statusLine_ || text.empty()) return text;
    RECT area;
    if (!GetClientRect(statusLine_, &area)) return text;
    char buffer[MAX_PATH];
    const std::size_t n = std::min<std::size_t>(text.size(), MAX_PATH - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    HDC dc = GetDC(statusLine_);
    if (!dc) return text;
    const auto font = reinterpret_cast<HFONT>(SendMessageA(statusLine_, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    PathCompactPathA(dc, buffer, static_cast<UINT>(std::max<LONG>(0, area.right - area.left)));
    if (previous) SelectObject(dc, previous);
    ReleaseDC(statusLine_, dc);
    return buffer;
}

void TBrowseForFolderDialog::SetStatusText(const std::string& text) {
    statusText_ = text;
    if (open_ && has(bfoStatusText))
        SendMessageA(dialog_, BFFM_SETSTATUSTEXTA, 0,
                     reinterpret_cast<LPARAM>(statusText_.c_str()));
}

void TBrowseForFolderDialog::drawStatusText(const DRAWITEMSTRUCT& item) {
    if (OnDrawStatusText) {
        OnDrawStatusText(*this, item);
        return;
    }
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
    const auto font = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(item.hDC, font) : nullptr;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(item.hDC, statusText_.c_str(), -1, &area,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (previous) SelectObject(item.hDC, previous);
}

void TBrowseForFolderDialog::SetEditText(const std::string& text) {
    editText_ = text;
    if (open_ && editBox_) setEditBoxText(text);
}

void TBrowseForFolderDialog::setEditBoxText(const std::string& text) {
    settingEditText_ = true;
    SetWindowTextA(editBox_, text.c_str());
    settingEditText_ = false;
}

void TBrowseForFolderDialog::editBoxChanged() {
    editText_ = windowText(editBox_);
    // What the user types moves the tree along to the folder it names, as far as it exists.
    if (has(bfoEditDefault) && !settingEditText_) {
        std::string root = rootFolderPath();
        if (!root.empty() && root.back() != '\\') root += '\\';
        const std::string nearest = NearestExistingPath(root + editText_);
        if (!nearest.empty())
            SendMessageA(dialog_, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(nearest.c_str()));
    }
    if (OnEditChange) OnEditChange(*this);
}

std::string TBrowseForFolderDialog::NearestExistingPath(const std::string& path) {
    std::string candidate = path;
    for (;;) {
        if (!candidate.empty() && isFolder(candidate)) return candidate;
        const std::size_t cut = candidate.find_last_of("\\/:");
        if (cut == std::string::npos) return {};
        std::string shorter = candidate.substr(0, cut);
        // Cutting "C:\x" leaves the drive's root, not the drive's current folder.
        if (candidate[cut] != ':' && !shorter.empty() && shorter.back() == ':') shorter += '\\';
        if (shorter.empty() || shorter == candidate) return {};
        candidate = shorter;
    }
}

// ---- The custom button ---------------------------------------------------------------------

void TBrowseForFolderDialog::customButtonClicked() {
    if (customButtonType_ == bfbCheckBox)
        customButtonChecked_ =
            SendMessageA(customButton_, BM_GETCHECK, 0, 0) == LRESULT(BST_CHECKED);
    if (OnCustomButtonClick) OnCustomButtonClick(*this);
}

void TBrowseForFolderDialog::requireCustomButton() const {
    if (open_ && !customButton_) throw EBrowseForFolderDialog("Custom button does not exist.");
}

void TBrowseForFolderDialog::SetCustomButtonType(TbfCustomButton type) {
    requireCustomButton();
    customButtonType_ = type;
}

void TBrowseForFolderDialog::SetCustomButtonCaption(const std::string& caption) {
    requireCustomButton();
    customButtonCaption_ = caption;
    if (customButton_) SetWindowTextA(customButton_, caption.c_str());
}

void TBrowseForFolderDialog::SetCustomButtonEnabled(bool enabled) {
    requireCustomButton();
    customButtonEnabled_ = enabled;
    if (customButton_) EnableWindow(customButton_, enabled ? TRUE : FALSE);
}

void TBrowseForFolderDialog::SetCustomButtonVisible(bool visible) {
    requireCustomButton();
    customButtonVisible_ = visible;
    if (customButton_) ShowWindow(customButton_, visible ? SW_SHOW : SW_HIDE);
}

void TBrowseForFolderDialog::SetCustomButtonChecked(bool checked) {
    requireCustomButton();
    customButtonChecked_ = checked;
    if (customButton_ && customButtonType_ == bfbCheckBox)
        SendMessageA(customButton_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TBrowseForFolderDialog::SetTreeViewHideSelection(bool hide) {
    treeViewHideSelection_ = hide;
    if (open_) applyTreeViewHideSelection();
}
