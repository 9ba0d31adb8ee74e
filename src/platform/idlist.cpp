// The shell's calls on item identifier lists. A list is trusted as far as its size words go,
// as the shell trusts it; every list made here comes from the shell allocator.
#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/shellitems.h"
#include "platform/win32.h"

#include <cstring>

namespace {

WORD sizeWord(const void* at) {
    const auto* p = static_cast<const BYTE*>(at);
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

BYTE* bytesOf(PCUIDLIST_RELATIVE list) {
    return reinterpret_cast<BYTE*>(const_cast<ITEMIDLIST*>(list));
}

PIDLIST_RELATIVE copyBytes(const BYTE* from, std::size_t itemBytes) {
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(itemBytes + 2));
    if (!block) return nullptr;
    std::memcpy(block, from, itemBytes);
    block[itemBytes] = block[itemBytes + 1] = 0;
    return reinterpret_cast<PIDLIST_RELATIVE>(block);
}

} // namespace

void ILFree(PIDLIST_RELATIVE list) {
    CoTaskMemFree(list);
}

UINT ILGetSize(PCUIDLIST_RELATIVE list) {
    if (!list) return 0;
    UINT size = 2;
    for (const BYTE* p = bytesOf(list); sizeWord(p) != 0; p += sizeWord(p))
        size += sizeWord(p);
    return size;
}

PUIDLIST_RELATIVE ILGetNext(PCUIDLIST_RELATIVE list) {
    if (!list || sizeWord(list) == 0) return nullptr;
    return reinterpret_cast<PUIDLIST_RELATIVE>(bytesOf(list) + sizeWord(list));
}

PUIDLIST_RELATIVE ILFindLastID(PCUIDLIST_RELATIVE list) {
    if (!list) return nullptr;
    BYTE* last = bytesOf(list);
    for (BYTE* p = last; sizeWord(p) != 0; p += sizeWord(p))
        last = p;
    return reinterpret_cast<PUIDLIST_RELATIVE>(last);
}

BOOL ILRemoveLastID(PUIDLIST_RELATIVE list) {
    if (!list || sizeWord(list) == 0) return FALSE;
    BYTE* last = bytesOf(ILFindLastID(list));
    last[0] = last[1] = 0;
    return TRUE;
}

PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE list) {
    if (!list) return nullptr;
    return copyBytes(bytesOf(list), ILGetSize(list) - 2);
}

PITEMID_CHILD ILCloneFirst(PCUIDLIST_RELATIVE list) {
    if (!list) return nullptr;
    return copyBytes(bytesOf(list), sizeWord(list));
}

PIDLIST_ABSOLUTE ILCombine(PCIDLIST_ABSOLUTE first, PCUIDLIST_RELATIVE second) {
    if (!first && !second) return nullptr;
    if (!first) return ILClone(second);
    if (!second) return ILClone(first);
    const UINT firstBytes = ILGetSize(first) - 2;
    const UINT secondBytes = ILGetSize(second);
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(firstBytes + secondBytes));
    if (!block) return nullptr;
    std::memcpy(block, bytesOf(first), firstBytes);
    std::memcpy(block + firstBytes, bytesOf(second), secondBytes);
    return reinterpret_cast<PIDLIST_ABSOLUTE>(block);
}

BOOL ILIsEqual(PCIDLIST_ABSOLUTE a, PCIDLIST_ABSOLUTE b) {
    if (!a || !b) return a == b;
    using namespace platform::shell;
    const auto itemsA = itemsOf(a);
    const auto itemsB = itemsOf(b);
    if (itemsA.size() != itemsB.size()) return FALSE;
    for (std::size_t i = 0; i < itemsA.size(); ++i) {
        Item x;
        Item y;
        if (decodeItem(itemsA[i], x) && decodeItem(itemsB[i], y)) {
            // The same entry, whatever its recorded size and times.
            if (x.kind != y.kind || x.drive != y.drive || !AnsiSameText(x.name, y.name))
                return FALSE;
        } else if (itemsA[i]->cb != itemsB[i]->cb ||
                   std::memcmp(itemsA[i], itemsB[i], itemsA[i]->cb) != 0) {
            return FALSE;
        }
    }
    return TRUE;
}

PIDLIST_ABSOLUTE ILCreateFromPathA(LPCSTR path) {
    if (!path) return nullptr;
    PIDLIST_ABSOLUTE list = nullptr;
    platform::shell::listForPath(platform::fullWindowsPath(path),
                                 platform::shell::PathMustExist::Yes, &list);
    return list;
}
