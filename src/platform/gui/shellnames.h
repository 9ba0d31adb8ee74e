// Small helpers of the platform's dialogs over the shell's public calls: lists kept as bytes
// and the names folders hand out.
#pragma once

#include "platform/win32.h"

#include <QByteArray>
#include <QString>

// A list's bytes, terminator included (an empty array for no list).
QByteArray ListBytes(PCUIDLIST_RELATIVE list);
inline PCIDLIST_ABSOLUTE ListOf(const QByteArray& bytes) {
    return reinterpret_cast<PCIDLIST_ABSOLUTE>(bytes.constData());
}
// The name of an item of a folder in the given form, whatever STRRET kind the folder uses
// (a UTF-16 text is freed here).
QString FolderItemName(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags);
// The attributes of an item of a folder, limited to `wanted`.
SFGAOF FolderItemAttributes(IShellFolder* folder, PCUITEMID_CHILD item, SFGAOF wanted);
