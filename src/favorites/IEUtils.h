// Where a favorite leads, the internet shortcut file (".url") as the favorites read and write
// it, and the small operations on the shell's item identifier lists that the favorites list
// walks with. The functions keep no state; every text is in the ANSI code page.
#pragma once

#include "platform/win32.h"

#include <stdexcept>
#include <string>

// A shell object that the favorites need could not be had.
class EShellError : public std::runtime_error {
  public:
    EShellError(const std::string& message, HRESULT errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    HRESULT ErrorCode;
};

// A favorite could not be written; the message names the file.
class EInOutError : public std::runtime_error {
  public:
    EInOutError(const std::string& message, DWORD errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    DWORD ErrorCode;
};

// The address of an internet shortcut, read as an INI file (key "URL" of section
// "InternetShortcut"); empty when there is none.
std::string UrlFromIniFile(const std::string& path);
// The same through the shell's Internet shortcut object; empty when the object cannot be
// made or yields no address.
std::string UrlFromIntShCut(const std::string& path);
// Where a channel shortcut leads: the desktop's name of its link target; empty on any failure.
std::string ChannelTargetUrl(IShellFolder* folder, PCUITEMID_CHILD item);
// The target path of a shell link, resolved without ever rewriting the link file; empty when
// it cannot be loaded or resolved. Raises EShellError when the link object cannot be made.
std::string ShellLinkTarget(const std::string& path);
// True when the shell's type name of the item is exactly `typeName` (case counts).
bool ItemHasType(const std::string& typeName, IShellFolder* folder, PCUITEMID_CHILD item);
// True for a folder that is not a channel shortcut (channels are folders to the shell but
// open as links).
bool IsBrowsableFolder(const std::string& channelTypeName, IShellFolder* folder,
                       PCUITEMID_CHILD item);
// The item's name as the shell shows it, and its parsing name (the full path of a file).
std::string ItemDisplayName(IShellFolder* folder, PCUITEMID_CHILD item);
std::string ItemParsingName(IShellFolder* folder, PCUITEMID_CHILD item);

// Item identifier lists. Whoever gets a list from these owns it and gives it back with
// ReleasePIDL.
LPITEMIDLIST NextPIDL(LPCITEMIDLIST list);
// Bytes including the terminator; 0 for no list.
UINT PIDLSize(LPCITEMIDLIST list);
// Drops the last item in place; an empty list stays empty.
void TruncatePIDL(LPITEMIDLIST list);
// A zero-filled block from the shell allocator, or null.
LPITEMIDLIST AllocPIDL(UINT size);
LPITEMIDLIST DuplicatePIDL(LPCITEMIDLIST list);
// The items of `first` (none when null) followed by those of `second`.
LPITEMIDLIST JoinPIDLs(LPCITEMIDLIST first, LPCITEMIDLIST second);
void ReleasePIDL(LPITEMIDLIST list);

// An internet shortcut as the link editor writes it: "[InternetShortcut]" and "URL=" with the
// address unchanged, each line ended by CR LF.
std::string InternetShortcutText(const std::string& url);
// Replaces the whole file with that text. The text goes to a new file beside it first (the
// favorite's name and ".~" with a number), which takes the favorite's creation time and its
// read-only, hidden and system marks and then its place in one step, so a failure leaves the
// favorite as it was. A read-only favorite is written all the same: the user asked for it to
// be saved. What an interrupted write left beside the favorite is removed first. Raises
// EInOutError naming the file when it cannot be written.
void WriteInternetShortcut(const std::string& path, const std::string& url);
// True for a file name (without its folder) that WriteInternetShortcut gives the new text of
// an internet shortcut while it writes it ("Wetter.url.~0"): never a favorite of its own.
bool IsShortcutWriteTemporary(const std::string& fileName);
