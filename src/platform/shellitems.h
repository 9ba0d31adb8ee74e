// The items of the hosted shell namespace and the lists made of them. Internal to the
// platform layer.
//
//   desktop (the empty list)
//   ├─ My Computer      0x1F, sort byte, CLSID_MyComputer                 (20 bytes)
//   │  ├─ C:\           0x2F, "C:\" and zeros                              (25 bytes)
//   │  │  └─ Users ...  0x31 folder / 0x32 file, 0, size, DOS date and time, attributes,
//   │  │                the long name in ANSI, zero-ended; for a folder that stands for a
//   │  │                shell class, that class's ProgID, zero-ended (padded to an even size)
//   │  └─ Z:\           the host's "/"
//   └─ files of the user's Desktop folder, as items of the same kind
//   A web address that a link leads to: 0x61, 0, the address in ANSI, zero-ended.
#pragma once

#include "platform/result.h"
#include "platform/shlobj.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::shell {

enum class ItemKind { Computer, Drive, File, Url };

struct Item {
    ItemKind kind = ItemKind::File;
    char drive = 0;       // Drive
    std::string name;     // File: the long name; Url: the address
    std::string progId;   // File: the shell class a folder stands for (a channel shortcut)
    DWORD attributes = 0; // File: FILE_ATTRIBUTE_*
    DWORD size = 0;
    WORD dosDate = 0;
    WORD dosTime = 0;

    bool isFolder() const {
        return kind == ItemKind::Computer || kind == ItemKind::Drive ||
               (kind == ItemKind::File && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
};

// Where the name of a File or Url item starts inside its bytes (counting the size word).
constexpr std::size_t kNameOffset = 14;
constexpr std::size_t kUrlOffset = 4;

// The bytes of one item, size word included.
std::string encodeItem(const Item& item);
// False for an item that is not one of ours or does not hold what its size says.
bool decodeItem(const SHITEMID* id, Item& item);

// The items of a list in order (pointers into the list).
std::vector<const SHITEMID*> itemsOf(PCUIDLIST_RELATIVE list);
// A new list from the shell allocator holding the given items' bytes; null when out of memory.
PIDLIST_RELATIVE makeList(const std::vector<std::string>& items);
PIDLIST_RELATIVE makeList(const std::vector<Item>& items);

// What an absolute list leads to.
struct Location {
    enum Kind { Desktop, Computer, Drive, FileSystem, Url } kind = Desktop;
    std::string path;     // Drive: "C:\"; FileSystem: the full path; Url: the address
    DWORD attributes = 0; // FileSystem: as recorded in the item
    Item last;            // the last item (unset for the desktop)
};
bool locate(PCIDLIST_ABSOLUTE list, Location& location);
// The same, for a list relative to a folder at `parent`.
bool locateBelow(const Location& parent, PCUIDLIST_RELATIVE list, Location& location);

// The folder that the desktop's own files live in.
std::string desktopDirectory();

// The item of an existing entry of a folder ("C:\Users" + "User"); none when it is missing.
[[nodiscard]] std::optional<Item> itemForEntry(const std::string& folderPath,
                                               const std::string& name);
// Whether a path must name an existing entry, or may end in entries still to be made.
enum class PathMustExist { No, Yes };
// The items of a Windows path from the desktop down ("C:\a\b" -> Computer, C:, a, b). With
// PathMustExist::No the missing end of the path gets plain items (folders on the way, a file
// last). Fails with the Win32 error of the lookup.
[[nodiscard]] Result<std::vector<Item>> itemsForPath(const std::string& path,
                                                     PathMustExist mustExist);
// An absolute list for a path, the shell's parse (HRESULT_FROM_WIN32 of the lookup error).
HRESULT listForPath(const std::string& path, PathMustExist mustExist, PIDLIST_ABSOLUTE* list);

// The children of a folder location, in the order the folder lists them.
std::vector<Item> childrenOf(const Location& folder);

// A shell folder object for an absolute list (which the object copies).
HRESULT createFolder(PCIDLIST_ABSOLUTE absolute, REFIID riid, void** object);

// Names as the shell shows them.
std::string normalName(const Location& location);
std::string parsingName(const Location& location);
std::string inFolderName(const Location& location);
// SFGAO_ bits of a location, limited to `wanted` (some are costly to work out).
SFGAOF attributesOf(const Location& location, SFGAOF wanted);
// Folder before file, then names in the shell's order (digit runs by their value, letters
// ignoring case).
int compareItems(const Item& a, const Item& b);
int compareNames(const std::string& a, const std::string& b);

// Type name and system image index of a location (see filetypes.cpp).
std::string typeNameOf(const Location& location);
int iconIndexOf(const Location& location);
// The type name of a file name's extension ("x.url" -> "Internet Shortcut").
std::string typeNameOfFile(const std::string& name);
std::string typeNameOfFolder(const std::string& progId);
// The ProgID of a folder that stands for a shell class through its desktop.ini, else empty;
// items record it when they are made, so that the item alone tells its type, as the shell's
// own items do.
std::string folderClassProgId(const std::string& folderPath);
// A file's name as the shell shows it (without the extension of a shortcut type).
std::string shownName(const Item& item);
// True when the shell leaves the extension of this file name out of its normal name.
bool hidesExtension(const std::string& name);

} // namespace platform::shell

namespace platform::shell {
// Lookups that the shell makes again and again for the same few keys (a file class per
// extension, the desktop's folder), remembered while the database stays unchanged (see
// databaseStamp): `compute` runs once per kind and key until something may have changed.
enum class Remembered { ProgIdOfExtension, HiddenExtension, TypeNameOfExtension, DesktopFolder };
std::string remembered(Remembered kind, const std::string& key,
                       const std::function<std::string()>& compute);

// A REG_SZ (or REG_EXPAND_SZ) value, the key opened for reading only; false when the key or
// value is missing. A null value name reads the default value.
bool readRegistryText(HKEY root, const std::string& key, const char* value, std::string& text);
bool registryValueExists(HKEY root, const std::string& key, const char* value);
// "C:\a" + "b" -> "C:\a\b"; "C:\" + "b" -> "C:\b".
std::string joinPath(const std::string& folder, const std::string& name);
} // namespace platform::shell
