// The system image list: which picture stands at which index. The pictures themselves are
// drawn by the windowing floor, which hands the shell a maker for icon handles when the
// application starts; without one (the platform tool) SHGFI_ICON yields no icon.
#pragma once

#include "platform/shellapi.h"

namespace platform {

enum SystemIcon : int {
    kIconDocument = 0,
    kIconFolder,
    kIconFolderOpen,
    kIconInternetShortcut,
    kIconShellLink,
    kIconDrive,
    kIconComputer,
    kIconDesktop,
    kSystemIconCount
};

enum class IconSize { Large, Small };

using SystemIconMaker = HICON (*)(int index, IconSize size);
void setSystemIconMaker(SystemIconMaker maker);

HIMAGELIST systemImageList(IconSize size);
// -1 for a list that is not one of the two system image lists.
int systemImageListSize(HIMAGELIST list);

} // namespace platform
