// The system image lists on Windows are the shell's own, pictures and all.
#include "platform/gui/shellicons.h"

#include "platform/gui/icons.h"

QImage ImageListImage(HIMAGELIST list, int index) {
    if (!list || index < 0) return {};
    const UniqueIcon icon(ImageList_GetIcon(list, index, ILD_TRANSPARENT));
    return IconImage(icon.get());
}

void InstallSystemIcons() {}
