// The pictures of the system image list (folder, document, Internet shortcut, shell link,
// drive, computer, desktop), drawn at 16 and 32 pixels, for views that show shell items.
#pragma once

#include "platform/shellapi.h"
#include "platform/shellicons.h"

#include <QImage>

// The picture at an index of a system image list (SHGetFileInfoA with SHGFI_SYSICONINDEX);
// a null image for anything else.
QImage ImageListImage(HIMAGELIST list, int index);
QImage SystemIconImage(int index, platform::IconSize size);
// Hands the shell the maker of icon handles for SHGFI_ICON (the application does it).
void InstallSystemIcons();
