#include "favorites/FavoritesListView.h"

#include "controls/WebBrowser.h"
#include "favorites/IEUtils.h"
#include "platform/gui/application.h"
#include "platform/gui/icons.h"
#include "platform/gui/shellicons.h"
#include "platform/qt/ansi_qstring.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstring>
#include <vector>

std::string TCustomFavoritesListView::ChannelShortcutTypeName;
std::string TCustomFavoritesListView::InternetShortcutTypeName;

namespace {

// The default value of a class key under HKEY_CLASSES_ROOT, the key opened without creating
// it; `fallback` when the key is missing or its value holds no text.
std::string classTypeName(const char* key, const char* fallback) {
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, handle.out()) != ERROR_SUCCESS)
        return fallback;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return fallback;
    std::string text(size, '\0');
    if (size > 0 && RegQueryValueExA(handle.get(), nullptr, nullptr, &type,
                                     reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        return {};
    text.resize(std::min<std::size_t>(size, text.size()));
    if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
    return text;
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool beginsWith(const std::string& name, const std::string& upperText) {
    if (name.size() < upperText.size()) return false;
    for (std::size_t i = 0; i < upperText.size(); ++i)
        if (asciiUpper(name[i]) != upperText[i]) return false;
    return true;
}

} // namespace

// The rows as the view asks for them: captions and pictures straight from the records.
class TCustomFavoritesListView::Model : public QAbstractListModel {
  public:
    explicit Model(TCustomFavoritesListView* view) : QAbstractListModel(view), view_(view) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : view_->ItemCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        std::string caption;
        int image = 0;
        if (!index.isValid() || !view_->OwnerDataFetch(index.row(), caption, image)) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return AnsiToQString(caption);
        case Qt::DecorationRole:
            return picture(image);
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return view_->ColumnCaption();
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    void HeaderChanged() { emit headerDataChanged(Qt::Horizontal, 0, 0); }

  private:
    QPixmap picture(int image) const {
        auto found = pictures_.find(image);
        if (found == pictures_.end())
            found = pictures_.insert(image,
                                     QPixmap::fromImage(ImageListImage(view_->SmallImages, image)));
        return *found;
    }

    TCustomFavoritesListView* view_;
    mutable QHash<int, QPixmap> pictures_;
};

// Hot tracking: the row under the mouse is drawn underlined.
class TCustomFavoritesListView::HotTrackDelegate : public QStyledItemDelegate {
  public:
    explicit HotTrackDelegate(TCustomFavoritesListView* view)
        : QStyledItemDelegate(view), view_(view) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (view_->HotTrack && view_->HotTrackUnderline && index.row() == view_->FHotRow)
            option->font.setUnderline(true);
    }

  private:
    TCustomFavoritesListView* view_;
};

TCustomFavoritesListView::TCustomFavoritesListView(QWidget* owner) : QTreeView(owner) {
    FModel = new Model(this);
    setModel(FModel);
    setItemDelegate(new HotTrackDelegate(this));
    // A read-only report view of one column, its rows owned by the records.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setIconSize(QSize(16, 16));
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    setMouseTracking(true);
    resize(200, 300);

    ChannelShortcutTypeName = classTypeName("ChannelShortcut", "Channel Shortcut");
    InternetShortcutTypeName = classTypeName("InternetShortcut", "Internet Shortcut");

    // The column is named after the Favorites folder as it is called on disk.
    PidlRef favorites;
    ComRef<IShellFolder> desktop;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, favorites.put())) &&
        SUCCEEDED(SHGetDesktopFolder(desktop.put()))) {
        const std::string path = ItemParsingName(desktop.get(), favorites.get());
        FColumnCaption = AnsiToQString(path.substr(path.find_last_of('\\') + 1));
    }
    header()->resizeSection(0, width() - 4);
}

TCustomFavoritesListView::~TCustomFavoritesListView() {
    freeItems();
}

void TCustomFavoritesListView::freeItems() {
    FolderItems.clear();
    FHotRow = -1;
}

void TCustomFavoritesListView::Loaded() {
    ComRef<IShellFolder> desktop;
    const HRESULT hr = SHGetDesktopFolder(desktop.put());
    if (FAILED(hr) || !desktop) throw EShellError("The shell's desktop is not available.", hr);
    // Without a Favorites folder (none yet, or taken away) the list stays empty.
    PidlRef root;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, root.put()))) root.reset();
    DesktopFolder = std::move(desktop);
    RootFolder = std::move(root);
    CurrentShellFolder.assign(DesktopFolder.get());

    FModel->BeginReset();
    freeItems();
    CurrentFolder.reset();
    FModel->EndReset();

    const BYTE desktopList[2] = {0, 0};
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    const LPCITEMIDLIST imagesOf =
        RootFolder ? RootFolder.get() : reinterpret_cast<LPCITEMIDLIST>(desktopList);
    SmallImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(imagesOf), 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL));
    FModel->HeaderChanged();

    if (RootFolder) ShowFolder(RootFolder.get());
    Depth = 0;
    FOpenedNames.clear();
    FModel->HeaderChanged();
    header()->resizeSection(0, width() - 4);
}

void TCustomFavoritesListView::ShowFolder(LPCITEMIDLIST folder) {
    if (!DesktopFolder || !folder)
        throw EShellError("The favorites list has no folder to show.", E_UNEXPECTED);
    ComRef<IShellFolder> shellFolder;
    HRESULT hr = S_OK;
    if (PIDLSize(folder) <= 2)
        shellFolder.assign(DesktopFolder.get());
    else
        hr = DesktopFolder->BindToObject(folder, nullptr, IID_IShellFolder, shellFolder.out());
    const auto folderName = [&] { return ItemParsingName(DesktopFolder.get(), folder); };
    if (FAILED(hr) || !shellFolder)
        throw EShellError("The folder \"" + folderName() + "\" cannot be opened.", hr);

    // The list is not painted while it changes, whatever happens on the way.
    struct Updates {
        QWidget* widget;
        explicit Updates(QWidget* w) : widget(w) { widget->setUpdatesEnabled(false); }
        ~Updates() { widget->setUpdatesEnabled(true); }
    } updates(this);

    ComRef<IEnumIDList> items;
    hr = shellFolder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put());
    if (FAILED(hr)) throw EShellError("The folder \"" + folderName() + "\" cannot be listed.", hr);
    CurrentShellFolder = std::move(shellFolder);
    PidlRef shown(DuplicatePIDL(folder));

    struct Reset {
        Model* model;
        explicit Reset(Model* m) : model(m) { model->BeginReset(); }
        ~Reset() { model->EndReset(); }
    };
    {
        const Reset reset(FModel);
        freeItems();
        IShellFolder* current = CurrentShellFolder.get();
        LPITEMIDLIST item = nullptr;
        while (items && items->Next(1, &item, nullptr) == S_OK) {
            PidlRef owned(item);
            if (!Channels && ItemHasType(ChannelShortcutTypeName, current, item)) continue;
            TFavoriteItem record;
            record.Name = ItemDisplayName(current, item);
            // The new text of a favorite being written, or left by a write that never ended.
            // Its ending ".~N" is no known type, so the shell shows its whole name.
            if (record.Name.find(".~") != std::string::npos) {
                const std::string path = ItemParsingName(current, item);
                if (IsShortcutWriteTemporary(path.substr(path.find_last_of('\\') + 1))) continue;
            }
            record.RelativePIDL = std::move(owned);
            FolderItems.push_back(std::move(record));
        }
        std::stable_sort(FolderItems.begin(), FolderItems.end(),
                         [current](const TFavoriteItem& a, const TFavoriteItem& b) {
                             const HRESULT order =
                                 current->CompareIDs(0, a.RelativePIDL.get(), b.RelativePIDL.get());
                             return SUCCEEDED(order) && static_cast<SHORT>(HRESULT_CODE(order)) < 0;
                         });
    }
    viewport()->update();
    CurrentFolder = std::move(shown);
    ++FFolderVisits;
    FTyped.clear();
    // The keys start at the first row, but only the user chooses what the links act on.
    if (!FolderItems.empty()) focusRow(0);
}

void TCustomFavoritesListView::ShowFolderAgain(const std::string& file) {
    PidlRef shown(DuplicatePIDL(CurrentFolder.get()));
    if (!shown) {
        Loaded();
        return;
    }
    try {
        ShowFolder(shown.get());
    } catch (const EShellError&) {
        Loaded();
        return;
    }
    if (file.empty()) return;
    for (int row = 0; row < ItemCount(); ++row) {
        const std::string path =
            ItemParsingName(CurrentShellFolder.get(),
                            FolderItems[static_cast<std::size_t>(row)].RelativePIDL.get());
        if (lstrcmpiA(path.c_str(), file.c_str()) == 0) {
            selectRow(row);
            return;
        }
    }
}

bool TCustomFavoritesListView::IsInternetShortcut(const std::string& path) {
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_TYPENAME)) return false;
    return info.szTypeName == InternetShortcutTypeName;
}

void TCustomFavoritesListView::OneLevelUp() {
    PidlRef parent(DuplicatePIDL(CurrentFolder.get()));
    TruncatePIDL(parent.get());
    if (parent && PIDLSize(parent.get()) > 2 && Depth > 0) {
        ShowFolder(parent.get());
        // Only once the parent is shown: a folder that cannot be shown leaves the level.
        --Depth;
        if (!FOpenedNames.empty()) FOpenedNames.pop_back();
        FModel->HeaderChanged();
        return;
    }
    MessageBeep(MB_OK);
}

void TCustomFavoritesListView::DblClick() {
    if (OnDblClick) OnDblClick(this);
    const int row = SelectedRow();
    if (row < 0 || row >= ItemCount()) return;
    IShellFolder* folder = CurrentShellFolder.get();
    const LPITEMIDLIST item = FolderItems[static_cast<std::size_t>(row)].RelativePIDL.get();
    if (IsBrowsableFolder(ChannelShortcutTypeName, folder, item)) {
        PidlRef below(JoinPIDLs(CurrentFolder.get(), item));
        const std::string name = FolderItems[static_cast<std::size_t>(row)].Name;
        ShowFolder(below.get());
        ++Depth;
        FOpenedNames.push_back(name);
        FModel->HeaderChanged();
        return;
    }
    FSelectedFile = ItemParsingName(folder, item);
    FSelectedName = FolderItems[static_cast<std::size_t>(row)].Name;
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    PidlRef absolute(JoinPIDLs(CurrentFolder.get(), item));
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute.get()), 0, &info, sizeof info,
                   SHGFI_TYPENAME | SHGFI_ATTRIBUTES | SHGFI_PIDL);
    const std::string typeName = info.szTypeName;
    std::string url;
    if (typeName == ChannelShortcutTypeName)
        url = ChannelTargetUrl(folder, item);
    else if (typeName == InternetShortcutTypeName)
        url =
            ResolveUrl == IniFile ? UrlFromIniFile(FSelectedFile) : UrlFromIntShCut(FSelectedFile);
    else
        url = ShellLinkTarget(FSelectedFile);
    if (OnURLSelected)
        OnURLSelected(this, url);
    else if (Webbrowser)
        Webbrowser->Navigate(url);
}

QString TCustomFavoritesListView::ColumnCaption() const {
    QString caption = FColumnCaption;
    for (const std::string& name : FOpenedNames)
        caption += QLatin1Char('\\') + AnsiToQString(name);
    return caption;
}

void TCustomFavoritesListView::SetRootCaption(const QString& caption) {
    FColumnCaption = caption;
    FModel->HeaderChanged();
}

bool TCustomFavoritesListView::OwnerDataFetch(int row, std::string& caption,
                                              int& imageIndex) const {
    if (row < 0 || row >= ItemCount()) return false;
    const TFavoriteItem& item = FolderItems[static_cast<std::size_t>(row)];
    caption = item.Name;
    imageIndex = item.ImageIndex;
    return true;
}

bool TCustomFavoritesListView::OwnerDataHint(int first, int last) {
    if (first < 0 || last >= ItemCount() || first > last) return false;
    for (int row = first; row <= last; ++row) {
        TFavoriteItem& item = FolderItems[static_cast<std::size_t>(row)];
        if (!item.IconPending) continue;
        item.AbsolutePIDL.reset(JoinPIDLs(CurrentFolder.get(), item.RelativePIDL.get()));
        if (!item.AbsolutePIDL) continue;
        SHFILEINFOA info;
        std::memset(&info, 0, sizeof info);
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(item.AbsolutePIDL.get()), 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SMALLICON | SHGFI_PIDL);
        item.ImageIndex = info.iIcon;
        item.Icon.reset(info.hIcon);
        item.IconPending = false;
    }
    return true;
}

int TCustomFavoritesListView::OwnerDataFind(TItemFind find, const std::string& text, int start,
                                            TFindWrap wrap) const {
    if (find != ifPartialString && find != ifExactString) return -1;
    std::string upper = text;
    for (char& c : upper)
        c = asciiUpper(c);
    const int count = ItemCount();
    start = std::clamp(start, 0, count);
    for (int row = start; row < count; ++row)
        if (beginsWith(FolderItems[static_cast<std::size_t>(row)].Name, upper)) return row;
    if (wrap == TFindWrap::Yes)
        for (int row = 0; row < start; ++row)
            if (beginsWith(FolderItems[static_cast<std::size_t>(row)].Name, upper)) return row;
    return -1;
}

int TCustomFavoritesListView::FocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::string TCustomFavoritesListView::FocusedCaption() const {
    std::string caption;
    int image = 0;
    OwnerDataFetch(FocusedRow(), caption, image);
    return caption;
}

int TCustomFavoritesListView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TCustomFavoritesListView::selectRow(int row) {
    const QModelIndex index = FModel->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

void TCustomFavoritesListView::focusRow(int row) {
    const QModelIndex index = FModel->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

void TCustomFavoritesListView::announceVisibleRows() {
    if (FolderItems.empty()) return;
    const QModelIndex top = indexAt(QPoint(1, 1));
    const QModelIndex bottom = indexAt(QPoint(1, viewport()->height() - 2));
    OwnerDataHint(top.isValid() ? top.row() : 0, bottom.isValid() ? bottom.row() : ItemCount() - 1);
}

void TCustomFavoritesListView::paintEvent(QPaintEvent* event) {
    announceVisibleRows();
    QTreeView::paintEvent(event);
}

void TCustomFavoritesListView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    header()->resizeSection(0, width() - 4);
}

void TCustomFavoritesListView::keyPressEvent(QKeyEvent* event) {
    QTreeView::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Backspace:
        RunHandler([this] { OneLevelUp(); });
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunHandler([this] { DblClick(); });
        break;
    default:
        break;
    }
}

void TCustomFavoritesListView::keyboardSearch(const QString& search) {
    const std::string typed = QStringToAnsi(search);
    if (typed.empty() || static_cast<unsigned char>(typed[0]) < 0x20) return;
    // Keys typed in quick succession make one search text, as in every list of the system.
    const ULONGLONG now = GetTickCount64();
    if (now - FLastKeyTick > static_cast<ULONGLONG>(QApplication::keyboardInputInterval()))
        FTyped.clear();
    FLastKeyTick = now;
    // A new search starts after the focused row, a longer text at it.
    const int start = FTyped.empty() ? FocusedRow() + 1 : std::max(FocusedRow(), 0);
    FTyped += typed;
    const int row = OwnerDataFind(ifPartialString, FTyped, start, TFindWrap::Yes);
    if (row >= 0) selectRow(row);
}

void TCustomFavoritesListView::mousePressEvent(QMouseEvent* event) {
    FClickOpenedFolder = false;
    FAfterDoubleClick = false;
    QTreeView::mousePressEvent(event);
}

void TCustomFavoritesListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (FAfterDoubleClick) {
        FAfterDoubleClick = false;
        return;
    }
    const unsigned visitsBefore = FFolderVisits;
    if (OnClick) RunHandler([this] { OnClick(this); });
    FClickOpenedFolder = FFolderVisits != visitsBefore;
}

void TCustomFavoritesListView::mouseDoubleClickEvent(QMouseEvent* event) {
    FAfterDoubleClick = true;
    if (event->button() != Qt::LeftButton) return;
    // The first click of this double click opened a folder: what lies under the mouse now
    // belongs to that folder and was never clicked.
    if (FClickOpenedFolder) {
        FClickOpenedFolder = false;
        return;
    }
    QTreeView::mousePressEvent(event);
    RunHandler([this] { DblClick(); });
}

void TCustomFavoritesListView::mouseMoveEvent(QMouseEvent* event) {
    QTreeView::mouseMoveEvent(event);
    updateHotRow(event->position().toPoint());
}

void TCustomFavoritesListView::leaveEvent(QEvent* event) {
    QTreeView::leaveEvent(event);
    updateHotRow(QPoint(-1, -1));
}

void TCustomFavoritesListView::updateHotRow(const QPoint& at) {
    const QModelIndex index =
        HotTrack && viewport()->rect().contains(at) ? indexAt(at) : QModelIndex();
    const int row = index.isValid() ? index.row() : -1;
    if (row == FHotRow) return;
    FHotRow = row;
    if (HotTrack && HotTrackHandPoint && row >= 0)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
    viewport()->update();
}
