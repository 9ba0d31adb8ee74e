// The favorites list: the user's Favorites folder of the web browser, one folder level at a
// time, with the shell's names and small icons. The user walks into sub-folders and back up,
// never above the Favorites folder; activating a favorite works out where it leads, remembers
// its file and reports the address.
//
// The list is virtual: it keeps its own records, and the view asks for a row's text and icon
// only when it shows the row. Icons are looked up for the rows about to be painted, once each
// per folder visit.
#pragma once

#include "platform/gui/icons.h"
#include "platform/win32.h"

#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

class QAbstractItemModel;
class TWebBrowser;

enum TResolveUrl { IntShCut, IniFile };
// The kinds of request for finding a row by text.
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
// Whether a search for a row goes on from row 0 when it finds nothing from its start on.
enum class TFindWrap { No, Yes };

// A row's record owns its item lists and its icon: they go back with the record.
struct TFavoriteItem {
    PidlRef AbsolutePIDL; // made when the icon is first needed
    PidlRef RelativePIDL; // as the folder's enumerator handed it out
    bool IconPending = true;
    std::string Name;
    int ImageIndex = 0; // in the system's small image list
    UniqueIcon Icon;    // the small icon the look-up handed out
};

class TCustomFavoritesListView : public QTreeView {
    Q_OBJECT
  public:
    using TOnUrlSelectedEvent =
        std::function<void(TCustomFavoritesListView* Sender, const std::string& Url)>;
    using TNotifyEvent = std::function<void(TCustomFavoritesListView* Sender)>;

    explicit TCustomFavoritesListView(QWidget* owner);
    ~TCustomFavoritesListView() override;

    // Starts over at the Favorites folder (after the properties are set, and whenever the
    // owner wants the folder afresh). Without a Favorites folder the list is empty. Raises
    // EShellError when the shell's desktop is not available.
    void Loaded();
    // Shows an absolute folder list (copied): the first row has the focus, and nothing is
    // selected until the user chooses a row. Raises EShellError when the folder cannot be
    // bound or listed; the rows shown before stay.
    void ShowFolder(LPCITEMIDLIST folder);
    // Lists the folder shown once more (its files may have changed), at the same level, and
    // selects the row of `file` (a full path) when it is still there. A folder that went away
    // meanwhile starts the list over at the Favorites folder.
    void ShowFolderAgain(const std::string& file);
    // Shows the parent folder; at the Favorites folder it beeps and changes nothing.
    void OneLevelUp();
    // The activation: opens a selected folder, or reports where a selected favorite leads.
    void DblClick();
    // The full path of the favorite activated last and its name in the list; a folder's
    // activation leaves them.
    const std::string& SelectedFile() const { return FSelectedFile; }
    const std::string& SelectedName() const { return FSelectedName; }
    // True when the shell names the file's type as it names internet shortcuts.
    static bool IsInternetShortcut(const std::string& path);

    // The view's owner-data requests. Fetch: a row's caption and image. Hint: the rows
    // first..last are about to be shown (their icons are looked up); false when the range is
    // not inside the list. Find: the first row at or after `start` (and, with TFindWrap::Yes, from
    // row 0 on) whose name begins with `text`, ASCII letters compared without case; -1 when
    // none matches or the request is not for a string.
    bool OwnerDataFetch(int row, std::string& caption, int& imageIndex) const;
    bool OwnerDataHint(int first, int last);
    int OwnerDataFind(TItemFind find, const std::string& text, int start, TFindWrap wrap) const;

    int ItemCount() const { return static_cast<int>(FolderItems.size()); }
    // The row that has the focus (-1 for none) and its caption.
    int FocusedRow() const;
    std::string FocusedCaption() const;
    // The selected row, -1 for none.
    int SelectedRow() const;
    // The column's caption: where the list is, the Favorites folder's name (its name on disk
    // until the owner gives one) followed by the folders opened below it ("Favorites\Reisen").
    QString ColumnCaption() const;
    void SetRootCaption(const QString& caption);

    // The type names against which items are told apart, read from the registry on every
    // construction.
    static std::string ChannelShortcutTypeName;
    static std::string InternetShortcutTypeName;

  protected:
    TResolveUrl ResolveUrl = IntShCut;
    bool Channels = false;
    TOnUrlSelectedEvent OnURLSelected;
    TWebBrowser* Webbrowser = nullptr;
    // The list view's own events and look.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    bool HotTrack = false;
    bool HotTrackHandPoint = true;
    bool HotTrackUnderline = true;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    class Model;
    class HotTrackDelegate;

    void freeItems();
    void announceVisibleRows();
    void selectRow(int row);
    void focusRow(int row);
    void updateHotRow(const QPoint& at);

    Model* FModel;
    ComRef<IShellFolder> DesktopFolder;
    // The shell folder object of the folder shown now, held by each list for its own rows.
    ComRef<IShellFolder> CurrentShellFolder;
    PidlRef RootFolder;
    PidlRef CurrentFolder;
    std::vector<TFavoriteItem> FolderItems;
    int Depth = 0;
    // The names of the folders opened below the Favorites folder, outermost first.
    std::vector<std::string> FOpenedNames;
    std::string FSelectedFile;
    std::string FSelectedName;
    HIMAGELIST SmallImages = nullptr;
    QString FColumnCaption;

    // Type-ahead: the text typed so far and when its last key came (GetTickCount64).
    std::string FTyped;
    ULONGLONG FLastKeyTick = 0;
    // Counts the folders shown, so that the second press of a double click does not act on
    // a row of a folder that the first click opened.
    unsigned FFolderVisits = 0;
    bool FClickOpenedFolder = false;
    bool FAfterDoubleClick = false;
    int FHotRow = -1;
};

// The list as forms use it: the behaviour above with its properties and events published.
class TFavoritesListView : public TCustomFavoritesListView {
    Q_OBJECT
  public:
    explicit TFavoritesListView(QWidget* owner) : TCustomFavoritesListView(owner) {}

    using TCustomFavoritesListView::Channels;
    using TCustomFavoritesListView::HotTrack;
    using TCustomFavoritesListView::HotTrackHandPoint;
    using TCustomFavoritesListView::HotTrackUnderline;
    using TCustomFavoritesListView::OnClick;
    using TCustomFavoritesListView::OnDblClick;
    using TCustomFavoritesListView::OnURLSelected;
    using TCustomFavoritesListView::ResolveUrl;
    using TCustomFavoritesListView::Webbrowser;
};
