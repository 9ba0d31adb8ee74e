#include "controls/Dialogs.h"

#include <algorithm>
#include <cstring>

bool TOpenDialog::Execute() {
    // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
    std::string filter = Filter;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    if (!filter.empty()) filter += '\0';
    filter += '\0';

    char file[MAX_PATH];
    const std::size_t n = std::min<std::size_t>(FileName.size(), MAX_PATH - 1);
    std::memcpy(file, FileName.data(), n);
    file[n] = '\0';

    OPENFILENAMEA info{};
    info.lStructSize = sizeof info;
    info.hwndOwner = owner_;
    info.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    info.nFilterIndex = static_cast<DWORD>(std::max(1, FilterIndex));
    info.lpstrFile = file;
    info.nMaxFile = MAX_PATH;
    info.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    info.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    info.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    info.Flags = Options;
    if (!GetOpenFileNameA(&info)) return false;
    FileName = file;
    FilterIndex = static_cast<int>(info.nFilterIndex);
    return true;
}
