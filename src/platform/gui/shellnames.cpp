#include "platform/gui/shellnames.h"

#include "platform/qt/ansi_qstring.h"

QByteArray ListBytes(PCUIDLIST_RELATIVE list) {
    if (!list) return {};
    return QByteArray(reinterpret_cast<const char*>(list), static_cast<int>(ILGetSize(list)));
}

QString FolderItemName(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags) {
    STRRET name{};
    if (!folder || FAILED(folder->GetDisplayNameOf(item, flags, &name))) return {};
    switch (name.uType) {
    case STRRET_WSTR: {
        const QString text = QString::fromUtf16(name.pOleStr);
        CoTaskMemFree(name.pOleStr);
        return text;
    }
    case STRRET_OFFSET:
        return AnsiToQString(reinterpret_cast<const char*>(item) + name.uOffset);
    case STRRET_CSTR:
        return AnsiToQString(name.cStr);
    default:
        return {};
    }
}

SFGAOF FolderItemAttributes(IShellFolder* folder, PCUITEMID_CHILD item, SFGAOF wanted) {
    SFGAOF attributes = wanted;
    if (!folder || FAILED(folder->GetAttributesOf(1, &item, &attributes))) return 0;
    return attributes;
}
