// The pictures of the system image list, for views that show shell items: on the hosted
// platform drawn here at 16 and 32 pixels (folder, document, Internet shortcut, shell link,
// drive, computer, desktop), on Windows the shell's own.
#pragma once

#include "platform/win32.h"

#include <QImage>

namespace platform {
enum class IconSize;
}

// The picture at an index of a system image list (SHGetFileInfoA with SHGFI_SYSICONINDEX);
// a null image for anything else.
QImage ImageListImage(HIMAGELIST list, int index);
// The hosted platform's own picture at an index, which its dialogs show.
QImage SystemIconImage(int index, platform::IconSize size);
// Hands the shell the maker of icon handles for SHGFI_ICON (the application does it; Windows'
// shell has its own).
void InstallSystemIcons();
