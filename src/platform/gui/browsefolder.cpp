// SHBrowseForFolderA: the folder dialog over the hosted namespace. Its controls are, in child
// order, the title ("Static"), the status line ("Static"), the tree ("SysTreeView32"), OK and
// Cancel ("Button"), at fixed places in a dialog of fixed size; a folder's children are listed
// only when it is first expanded.
#include "platform/gui/dialog_texts.h"
#include "platform/gui/modal.h"
#include "platform/gui/shellicons.h"
#include "platform/gui/shellnames.h"
#include "platform/gui/windows.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/shellicons.h"
#include "platform/win32.h"

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kListRole = Qt::UserRole;
// How the shell names the computer for parsing.
constexpr const char* kComputerParsingName = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kAttributesRole = Qt::UserRole + 2;

constexpr SFGAOF kWantedAttributes =
    SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;

int itemCount(const QByteArray& list) {
    int count = 0;
    for (PCUIDLIST_RELATIVE p = ListOf(list); p && p->mkid.cb; p = ILGetNext(p))
        ++count;
    return count;
}

// The first `count` items of a list, as a list of their own.
QByteArray prefixOf(const QByteArray& list, int count) {
    int bytes = 0;
    PCUIDLIST_RELATIVE p = ListOf(list);
    for (int i = 0; i < count && p && p->mkid.cb; ++i, p = ILGetNext(p))
        bytes += p->mkid.cb;
    QByteArray prefix = list.left(bytes);
    prefix.append(2, '\0');
    return prefix;
}

class BrowseForFolderDialog final : public QDialog, public Win32MessageTarget {
    static constexpr int kWidth = 330;
    static constexpr int kHeight = 370;
    static constexpr int kMargin = 12;
    static constexpr int kButtonWidth = 80;
    static constexpr int kButtonHeight = 26;

  public:
    BrowseForFolderDialog(const BROWSEINFOA& info, const QByteArray& root) : info_(info) {
        SHGetDesktopFolder(desktop_.put());
        const HostedDialogTexts& words = HostedDialogTextsInUse();
        setWindowTitle(AnsiToQString(words.browseForFolder));
        // A fixed dialog whose controls keep the places they are given, so that a callback
        // can move them or put controls of its own beside them.
        setFixedSize(kWidth, kHeight);
        const bool statusLine = info.ulFlags & BIF_STATUSTEXT;
        title_ = new QLabel(this);
        title_->setWordWrap(true);
        title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        title_->setText(AnsiToQString(info.lpszTitle ? info.lpszTitle : ""));
        title_->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, 30);
        status_ = new QLabel(this);
        status_->setGeometry(kMargin, 44, kWidth - 2 * kMargin, 16);
        status_->setVisible(statusLine);
        tree_ = new QTreeWidget(this);
        tree_->setHeaderHidden(true);
        tree_->setRootIsDecorated(true);
        tree_->setIconSize(QSize(16, 16));
        const int treeTop = statusLine ? 66 : 44;
        tree_->setGeometry(kMargin, treeTop, kWidth - 2 * kMargin,
                           kHeight - kButtonHeight - 2 * kMargin - 6 - treeTop);
        ok_ = new QPushButton(AnsiToQString(words.ok), this);
        ok_->setDefault(true);
        cancel_ = new QPushButton(AnsiToQString(words.cancel), this);
        const int buttonTop = kHeight - kMargin - kButtonHeight;
        cancel_->setGeometry(kWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth,
                             kButtonHeight);
        ok_->setGeometry(cancel_->x() - 8 - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);

        connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
        connect(tree_, &QTreeWidget::itemExpanded, this,
                [this](QTreeWidgetItem* item) { fillChildren(item); });

        QTreeWidgetItem* top = makeItem(root, attributesOf(root));
        tree_->addTopLevelItem(top);
        tree_->setCurrentItem(top);
        top->setExpanded(true);
        connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
            if (current) selectionChanged();
        });
    }

    QByteArray selectedList() const {
        QTreeWidgetItem* item = tree_->currentItem();
        return item ? item->data(0, kListRole).toByteArray() : QByteArray();
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case BFFM_SETSTATUSTEXTA:
            status_->setText(AnsiToQString(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""));
            return 0;
        case BFFM_ENABLEOK:
            ok_->setEnabled(lParam != 0);
            return 0;
        case BFFM_SETSELECTIONA: {
            if (!lParam) return FALSE;
            if (!wParam) return select(ListBytes(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam)));
            PidlRef list;
            const std::u16string path = AnsiToWide(reinterpret_cast<LPCSTR>(lParam));
            if (FAILED(SHParseDisplayName(path.c_str(), nullptr, list.put(), 0, nullptr)))
                return FALSE;
            return select(ListBytes(list.get()));
        }
        default:
            return 0;
        }
    }

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (initialized_) return;
        initialized_ = true;
        notify(BFFM_INITIALIZED, 0);
        if (!selectionSent_) selectionChanged();
    }

  private:
    SFGAOF attributesOf(const QByteArray& list) const {
        SFGAOF attributes = kWantedAttributes;
        PCUITEMID_CHILD item = ListOf(list);
        if (!desktop_ || FAILED(desktop_->GetAttributesOf(1, &item, &attributes))) return 0;
        return attributes;
    }

    // The shell's name of an item; the computer and its system drive in the dialog's words.
    QString nameOf(const QByteArray& list) const {
        const QString parsing = FolderItemName(desktop_.get(), ListOf(list), SHGDN_FORPARSING);
        const HostedDialogTexts& words = HostedDialogTextsInUse();
        if (parsing == QLatin1String(kComputerParsingName)) return AnsiToQString(words.computer);
        if (parsing.compare(QLatin1String("C:\\"), Qt::CaseInsensitive) == 0)
            return AnsiToQString(words.localDisk) + QStringLiteral(" (C:)");
        return FolderItemName(desktop_.get(), ListOf(list), SHGDN_NORMAL);
    }

    QTreeWidgetItem* makeItem(const QByteArray& list, SFGAOF attributes) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, nameOf(list));
        item->setData(0, kListRole, list);
        item->setData(0, kLoadedRole, false);
        item->setData(0, kAttributesRole, static_cast<qulonglong>(attributes));
        SHFILEINFOA info{};
        if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(ListOf(list)), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
            item->setIcon(
                0, QPixmap::fromImage(SystemIconImage(info.iIcon, platform::IconSize::Small)));
        const bool expandable =
            (attributes & SFGAO_HASSUBFOLDER) ||
            ((info_.ulFlags & BIF_BROWSEINCLUDEFILES) && (attributes & SFGAO_FOLDER));
        item->setChildIndicatorPolicy(expandable ? QTreeWidgetItem::ShowIndicator
                                                 : QTreeWidgetItem::DontShowIndicator);
        return item;
    }

    void fillChildren(QTreeWidgetItem* parent) {
        if (parent->data(0, kLoadedRole).toBool()) return;
        parent->setData(0, kLoadedRole, true);
        const QByteArray parentList = parent->data(0, kListRole).toByteArray();
        ComRef<IShellFolder> folder;
        if (itemCount(parentList) == 0) {
            folder.assign(desktop_.get());
        } else if (FAILED(desktop_->BindToObject(ListOf(parentList), nullptr, IID_IShellFolder,
                                                 folder.out()))) {
            return;
        }
        ComRef<IEnumIDList> items;
        SHCONTF flags = SHCONTF_FOLDERS;
        if (info_.ulFlags & BIF_BROWSEINCLUDEFILES) flags |= SHCONTF_NONFOLDERS;
        std::vector<PidlRef> children;
        if (SUCCEEDED(folder->EnumObjects(HandleOfWidget(this), flags, items.put()))) {
            PidlRef child;
            while (items->Next(1, child.put(), nullptr) == S_OK)
                children.push_back(std::move(child));
        }
        std::stable_sort(children.begin(), children.end(),
                         [shell = folder.get()](const PidlRef& a, const PidlRef& b) {
                             return static_cast<SHORT>(
                                        HRESULT_CODE(shell->CompareIDs(0, a.get(), b.get()))) < 0;
                         });
        for (const PidlRef& child : children) {
            const PidlRef absolute(ILCombine(ListOf(parentList), child.get()));
            const SFGAOF attributes =
                FolderItemAttributes(folder.get(), child.get(), kWantedAttributes);
            if (absolute) parent->addChild(makeItem(ListBytes(absolute.get()), attributes));
        }
        if (parent->childCount() == 0)
            parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }

    BOOL select(const QByteArray& target) {
        QTreeWidgetItem* current = tree_->topLevelItem(0);
        const QByteArray root = current->data(0, kListRole).toByteArray();
        const int depth = itemCount(root);
        const int targetDepth = itemCount(target);
        if (targetDepth < depth || !ILIsEqual(ListOf(prefixOf(target, depth)), ListOf(root)))
            return FALSE;
        for (int level = depth + 1; level <= targetDepth; ++level) {
            fillChildren(current);
            const QByteArray wanted = prefixOf(target, level);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < current->childCount() && !next; ++i)
                if (ILIsEqual(ListOf(current->child(i)->data(0, kListRole).toByteArray()),
                              ListOf(wanted)))
                    next = current->child(i);
            if (!next) return FALSE;
            current->setExpanded(true);
            current = next;
        }
        tree_->setCurrentItem(current);
        tree_->scrollToItem(current);
        return TRUE;
    }

    void selectionChanged() {
        selectionSent_ = true;
        QTreeWidgetItem* item = tree_->currentItem();
        const auto attributes = static_cast<SFGAOF>(item->data(0, kAttributesRole).toULongLong());
        bool allowed = true;
        if ((info_.ulFlags & BIF_RETURNONLYFSDIRS) && !(attributes & SFGAO_FILESYSTEM))
            allowed = false;
        if ((info_.ulFlags & BIF_RETURNFSANCESTORS) && !(attributes & SFGAO_FILESYSANCESTOR))
            allowed = false;
        ok_->setEnabled(allowed);
        const QByteArray list = item->data(0, kListRole).toByteArray();
        notify(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(ListOf(list)));
    }

    void notify(UINT message, LPARAM lParam) {
        if (info_.lpfn) info_.lpfn(HandleOfWidget(this), message, lParam, info_.lParam);
    }

    BROWSEINFOA info_;
    ComRef<IShellFolder> desktop_;
    QLabel* title_;
    QLabel* status_;
    QTreeWidget* tree_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool initialized_ = false;
    bool selectionSent_ = false;
};

} // namespace

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info) {
    if (!info) return nullptr;
    QByteArray root = info->pidlRoot ? ListBytes(info->pidlRoot) : QByteArray(2, '\0');
    BrowseForFolderDialog dialog(*info, root);
    ShowModalWindow(&dialog);
    if (dialog.result() != QDialog::Accepted) return nullptr;
    const QByteArray chosen = dialog.selectedList();
    if (chosen.isEmpty()) return nullptr;
    ComRef<IShellFolder> desktop;
    if (info->pszDisplayName && SUCCEEDED(SHGetDesktopFolder(desktop.put()))) {
        const std::string name =
            QStringToAnsi(FolderItemName(desktop.get(), ListOf(chosen), SHGDN_NORMAL));
        const std::size_t n = std::min<std::size_t>(name.size(), MAX_PATH - 1);
        std::memcpy(info->pszDisplayName, name.data(), n);
        info->pszDisplayName[n] = '\0';
    }
    SHFILEINFOA fileInfo{};
    if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(ListOf(chosen)), 0, &fileInfo, sizeof fileInfo,
                       SHGFI_PIDL | SHGFI_SYSICONINDEX))
        info->iImage = fileInfo.iIcon;
    return ILClone(ListOf(chosen));
}
