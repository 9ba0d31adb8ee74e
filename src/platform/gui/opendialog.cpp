// GetOpenFileNameA: the file-open dialog over the hosted drives. The folder shown is a
// drive-letter path; the list holds its sub-folders and the files of the chosen filter.
#include "platform/gui/dialog_texts.h"
#include "platform/gui/modal.h"
#include "platform/gui/shellicons.h"
#include "platform/gui/windows.h"
#include "platform/paths.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/shellicons.h"
#include "platform/win32.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

thread_local DWORD t_lastDialogError = 0;

struct Filter {
    std::string description;
    std::vector<std::string> patterns;
};

// "Text\0*.a;*.b\0Text\0*.*\0\0": pairs of a description and its ';'-separated patterns.
std::vector<Filter> parseFilters(LPCSTR text) {
    std::vector<Filter> filters;
    if (!text) return filters;
    for (const char* p = text; *p;) {
        Filter f;
        f.description = p;
        p += f.description.size() + 1;
        const std::string patterns = p;
        p += patterns.size() + (*p ? 1 : 0);
        std::size_t start = 0;
        while (start <= patterns.size()) {
            std::size_t end = patterns.find(';', start);
            if (end == std::string::npos) end = patterns.size();
            std::string one = patterns.substr(start, end - start);
            one.erase(0, one.find_first_not_of(' '));
            while (!one.empty() && one.back() == ' ')
                one.pop_back();
            if (!one.empty()) f.patterns.push_back(one);
            start = end + 1;
        }
        if (f.patterns.empty()) f.patterns.push_back("*.*");
        filters.push_back(f);
        if (patterns.empty()) break;
    }
    return filters;
}

std::string join(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

bool isAbsolute(const std::string& path) {
    return path.size() >= 2 && path[1] == ':';
}

// The default extension as the caller gives it; a leading "*." is forgiven.
std::string defaultExtension(LPCSTR text) {
    std::string ext = text ? text : "";
    ext.erase(0, ext.find_first_not_of("*."));
    return ext;
}

class OpenFileDialog final : public QDialog {
  public:
    explicit OpenFileDialog(const OPENFILENAMEA& info) : info_(info) {
        const HostedDialogTexts& words = HostedDialogTextsInUse();
        setWindowTitle(AnsiToQString(info.lpstrTitle ? info.lpstrTitle : words.open));
        filters_ = parseFilters(info.lpstrFilter);
        if (filters_.empty()) filters_.push_back({words.allFiles, {"*.*"}});

        auto* lookInLabel = new QLabel(AnsiToQString(words.lookIn), this);
        folderEdit_ = new QLineEdit(this);
        folderEdit_->setReadOnly(true);
        folderEdit_->setFocusPolicy(Qt::NoFocus); // the name field has the focus, as usual
        auto* up = new QPushButton(AnsiToQString(words.up), this);
        list_ = new QListWidget(this);
        list_->setIconSize(QSize(16, 16));
        auto* nameLabel = new QLabel(AnsiToQString(words.fileName), this);
        nameEdit_ = new QLineEdit(this);
        auto* typeLabel = new QLabel(AnsiToQString(words.filesOfType), this);
        types_ = new QComboBox(this);
        for (const auto& f : filters_)
            types_->addItem(AnsiToQString(f.description));
        open_ = new QPushButton(AnsiToQString(words.open), this);
        open_->setDefault(true);
        auto* cancel = new QPushButton(AnsiToQString(words.cancel), this);

        auto* layout = new QGridLayout(this);
        layout->addWidget(lookInLabel, 0, 0);
        layout->addWidget(folderEdit_, 0, 1);
        layout->addWidget(up, 0, 2);
        layout->addWidget(list_, 1, 0, 1, 3);
        layout->addWidget(nameLabel, 2, 0);
        layout->addWidget(nameEdit_, 2, 1);
        layout->addWidget(open_, 2, 2);
        layout->addWidget(typeLabel, 3, 0);
        layout->addWidget(types_, 3, 1);
        layout->addWidget(cancel, 3, 2);
        resize(460, 340);

        DWORD index = info.nFilterIndex;
        if (index == 0 || index > filters_.size()) index = 1;
        types_->setCurrentIndex(static_cast<int>(index - 1));

        std::string initialName = info.lpstrFile ? info.lpstrFile : "";
        std::string folder;
        if (info.lpstrInitialDir && DirectoryExistsA(info.lpstrInitialDir))
            folder = platform::fullWindowsPath(info.lpstrInitialDir);
        if (isAbsolute(initialName) && DirectoryExistsA(folderOf(initialName))) {
            if (folder.empty()) folder = folderOf(initialName);
            initialName = initialName.substr(initialName.find_last_of('\\') + 1);
        }
        if (folder.empty()) {
            char current[MAX_PATH];
            GetCurrentDirectoryA(MAX_PATH, current);
            folder = current;
        }
        nameEdit_->setText(AnsiToQString(initialName));
        showFolder(folder);

        connect(up, &QPushButton::clicked, this, [this] {
            if (folder_.size() > 3) showFolder(folderOf(folder_));
        });
        connect(types_, &QComboBox::currentIndexChanged, this, [this] { showFolder(folder_); });
        connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
            if (item && !item->data(Qt::UserRole).toBool()) nameEdit_->setText(item->text());
        });
        connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            if (item->data(Qt::UserRole).toBool())
                showFolder(join(folder_, QStringToAnsi(item->text())));
            else
                choose();
        });
        connect(open_, &QPushButton::clicked, this, [this] { choose(); });
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }

    const std::string& chosenPath() const { return chosen_; }
    DWORD chosenFilter() const { return static_cast<DWORD>(types_->currentIndex() + 1); }

  private:
    void showFolder(const std::string& folder) {
        folder_ = folder;
        folderEdit_->setText(AnsiToQString(folder));
        list_->clear();
        std::vector<std::string> folders;
        std::set<std::string> files;
        WIN32_FIND_DATAA found;
        UniqueFindHandle find(FindFirstFileA(join(folder, "*").c_str(), &found));
        if (find.valid()) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == ".." || (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
                    continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(name);
            } while (FindNextFileA(find.get(), &found));
        }
        const Filter& filter =
            filters_[static_cast<std::size_t>(std::max(0, types_->currentIndex()))];
        for (const auto& pattern : filter.patterns) {
            find.reset(FindFirstFileA(join(folder, pattern).c_str(), &found));
            if (!find.valid()) continue;
            do {
                if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN)))
                    files.insert(found.cFileName);
            } while (FindNextFileA(find.get(), &found));
        }
        for (const auto& name : folders) {
            auto* item = new QListWidgetItem(QPixmap::fromImage(SystemIconImage(
                                                 platform::kIconFolder, platform::IconSize::Small)),
                                             AnsiToQString(name), list_);
            item->setData(Qt::UserRole, true);
        }
        std::vector<std::string> sorted(files.begin(), files.end());
        std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
            return lstrcmpiA(a.c_str(), b.c_str()) < 0;
        });
        for (const auto& name : sorted) {
            SHFILEINFOA info{};
            SHGetFileInfoA(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
            auto* item = new QListWidgetItem(
                QPixmap::fromImage(SystemIconImage(info.iIcon, platform::IconSize::Small)),
                AnsiToQString(name), list_);
            item->setData(Qt::UserRole, false);
        }
    }

    void complain(const std::string& text) {
        MessageBoxA(HandleOfWidget(this), text.c_str(), QStringToAnsi(windowTitle()).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
    }

    void choose() {
        std::string name = QStringToAnsi(nameEdit_->text());
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        if (name.empty()) return;
        if (name.find_first_of("*?") != std::string::npos) {
            // A pattern typed as the name filters the list, as the system dialog does.
            filters_[static_cast<std::size_t>(types_->currentIndex())].patterns = {name};
            showFolder(folder_);
            return;
        }
        std::string path = platform::fullWindowsPath(isAbsolute(name) ? name : join(folder_, name));
        if (path.empty()) return;
        if (DirectoryExistsA(path)) {
            showFolder(platform::fullWindowsPath(path));
            nameEdit_->clear();
            return;
        }
        const std::string ext = defaultExtension(info_.lpstrDefExt);
        const std::string last = path.substr(path.find_last_of('\\') + 1);
        if (!ext.empty() && last.find('.') == std::string::npos) {
            const std::string withExtension = path + "." + ext;
            if (FileExistsA(withExtension) || !FileExistsA(path)) path = withExtension;
        }
        if ((info_.Flags & (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST)) &&
            !DirectoryExistsA(folderOf(path))) {
            complain(path + "\n" + HostedDialogTextsInUse().pathNotFound);
            return;
        }
        if ((info_.Flags & OFN_FILEMUSTEXIST) && !FileExistsA(path)) {
            complain(path + "\n" + HostedDialogTextsInUse().fileNotFound);
            return;
        }
        chosen_ = path;
        accept();
    }

    OPENFILENAMEA info_;
    std::vector<Filter> filters_;
    std::string folder_;
    std::string chosen_;
    QLineEdit* folderEdit_;
    QListWidget* list_;
    QLineEdit* nameEdit_;
    QComboBox* types_;
    QPushButton* open_;
};

} // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA info) {
    t_lastDialogError = 0;
    if (!info || (info->lStructSize != sizeof(OPENFILENAMEA) &&
                  info->lStructSize != offsetof(OPENFILENAMEA, pvReserved))) {
        t_lastDialogError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!info->lpstrFile || info->nMaxFile == 0) {
        t_lastDialogError = CDERR_INITIALIZATION;
        return FALSE;
    }
    OpenFileDialog dialog(*info);
    ShowModalWindow(&dialog);
    if (dialog.result() != QDialog::Accepted || dialog.chosenPath().empty()) return FALSE;

    const std::string& path = dialog.chosenPath();
    info->nFilterIndex = dialog.chosenFilter();
    if (path.size() + 1 > info->nMaxFile) {
        // The size needed, in the first two bytes of the buffer.
        const auto needed = static_cast<WORD>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
        if (info->nMaxFile >= 2) std::memcpy(info->lpstrFile, &needed, sizeof needed);
        t_lastDialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(info->lpstrFile, path.c_str(), path.size() + 1);
    const std::size_t nameStart = path.find_last_of('\\') + 1;
    info->nFileOffset = static_cast<WORD>(nameStart);
    const std::size_t dot = path.find_last_of('.');
    info->nFileExtension =
        static_cast<WORD>(dot != std::string::npos && dot > nameStart ? dot + 1 : path.size());
    if (info->lpstrFileTitle && info->nMaxFileTitle > 0) {
        const std::string title = path.substr(nameStart);
        const std::size_t n = std::min<std::size_t>(title.size(), info->nMaxFileTitle - 1);
        std::memcpy(info->lpstrFileTitle, title.data(), n);
        info->lpstrFileTitle[n] = '\0';
    }
    return TRUE;
}

DWORD CommDlgExtendedError() {
    return t_lastDialogError;
}
