// The shell namespace: item identifier lists, the shell allocator, shell folders, special
// folders, shell links and the folder browser (shell32).
#pragma once

#include "platform/objidl.h"
#include "platform/win32_types.h"
#include "platform/winuser.h"

#include <cstdint>

using USHORT = std::uint16_t;
using SHORT = std::int16_t;

// ---- Item identifier lists -----------------------------------------------------------------
// Each item starts with its 16-bit little-endian size, which counts the size word itself; a
// zero size word ends the list. An absolute list starts at the desktop.
#pragma pack(push, 1)
struct SHITEMID {
    USHORT cb;
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PIDLIST_RELATIVE = ITEMIDLIST*;
using PCIDLIST_RELATIVE = const ITEMIDLIST*;
using PUIDLIST_RELATIVE = ITEMIDLIST*;
using PCUIDLIST_RELATIVE = const ITEMIDLIST*;
using PITEMID_CHILD = ITEMIDLIST*;
using PCITEMID_CHILD = const ITEMIDLIST*;
using PCUITEMID_CHILD = const ITEMIDLIST*;
using PCUITEMID_CHILD_ARRAY = const ITEMIDLIST* const*;

// Lists handed out by the shell come from the shell allocator (SHGetMalloc, the same blocks
// as CoTaskMemAlloc) and are given back with ILFree.
HRESULT SHGetMalloc(LPMALLOC* malloc);
void ILFree(PIDLIST_RELATIVE list);
UINT ILGetSize(PCUIDLIST_RELATIVE list);
PUIDLIST_RELATIVE ILGetNext(PCUIDLIST_RELATIVE list);
PUIDLIST_RELATIVE ILFindLastID(PCUIDLIST_RELATIVE list);
BOOL ILRemoveLastID(PUIDLIST_RELATIVE list);
PIDLIST_RELATIVE ILClone(PCUIDLIST_RELATIVE list);
PITEMID_CHILD ILCloneFirst(PCUIDLIST_RELATIVE list);
PIDLIST_ABSOLUTE ILCombine(PCIDLIST_ABSOLUTE first, PCUIDLIST_RELATIVE second);
BOOL ILIsEqual(PCIDLIST_ABSOLUTE a, PCIDLIST_ABSOLUTE b);
PIDLIST_ABSOLUTE ILCreateFromPathA(LPCSTR path);

// ---- HRESULT codes of shell calls ----------------------------------------------------------
constexpr ULONG SEVERITY_SUCCESS = 0;
constexpr ULONG SEVERITY_ERROR = 1;
constexpr HRESULT MAKE_HRESULT(ULONG severity, ULONG facility, ULONG code) {
    return static_cast<HRESULT>((severity << 31) | (facility << 16) | code);
}
constexpr WORD HRESULT_CODE(HRESULT hr) {
    return static_cast<WORD>(static_cast<std::uint32_t>(hr) & 0xFFFF);
}

// ---- Special folders -----------------------------------------------------------------------
constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_INTERNET = 0x0001;
constexpr int CSIDL_PROGRAMS = 0x0002;
constexpr int CSIDL_CONTROLS = 0x0003;
constexpr int CSIDL_PRINTERS = 0x0004;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_FAVORITES = 0x0006;
constexpr int CSIDL_STARTUP = 0x0007;
constexpr int CSIDL_RECENT = 0x0008;
constexpr int CSIDL_SENDTO = 0x0009;
constexpr int CSIDL_BITBUCKET = 0x000A;
constexpr int CSIDL_STARTMENU = 0x000B;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_DRIVES = 0x0011;
constexpr int CSIDL_NETWORK = 0x0012;
constexpr int CSIDL_NETHOOD = 0x0013;
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_TEMPLATES = 0x0015;
constexpr int CSIDL_COMMON_STARTMENU = 0x0016;
constexpr int CSIDL_COMMON_PROGRAMS = 0x0017;
constexpr int CSIDL_COMMON_STARTUP = 0x0018;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 0x0019;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_PRINTHOOD = 0x001B;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_INTERNET_CACHE = 0x0020;
constexpr int CSIDL_COOKIES = 0x0021;
constexpr int CSIDL_HISTORY = 0x0022;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_WINDOWS = 0x0024;
constexpr int CSIDL_PROGRAM_FILES = 0x0026;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr int CSIDL_FLAG_MASK = 0xFF00;

// The folder's list (the desktop's is the empty list). Folders that the machine does not
// have under the platform root fail with E_FAIL.
HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, PIDLIST_ABSOLUTE* list);
HRESULT SHGetFolderLocation(HWND owner, int csidl, HANDLE token, DWORD reserved,
                            PIDLIST_ABSOLUTE* list);
// The file-system path of a list into a buffer of MAX_PATH characters; FALSE (and an empty
// text) for items outside the file system.
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, LPSTR path);
HRESULT SHParseDisplayName(LPCWSTR name, IBindCtx* bindContext, PIDLIST_ABSOLUTE* list,
                           ULONG attributesIn, ULONG* attributesOut);

// ---- Shell folders -------------------------------------------------------------------------
// {000214E6-0000-0000-C000-000000000046}
extern const IID IID_IShellFolder;
// {000214F2-0000-0000-C000-000000000046}
extern const IID IID_IEnumIDList;
// {00021400-0000-0000-C000-000000000046}
extern const CLSID CLSID_ShellDesktop;
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}
extern const CLSID CLSID_MyComputer;

using SFGAOF = ULONG;
using SHCONTF = DWORD;
using SHGDNF = DWORD;

constexpr SHCONTF SHCONTF_FOLDERS = 0x0020;
constexpr SHCONTF SHCONTF_NONFOLDERS = 0x0040;
constexpr SHCONTF SHCONTF_INCLUDEHIDDEN = 0x0080;

constexpr SHGDNF SHGDN_NORMAL = 0x0000;
constexpr SHGDNF SHGDN_INFOLDER = 0x0001;
constexpr SHGDNF SHGDN_FOREDITING = 0x1000;
constexpr SHGDNF SHGDN_FORADDRESSBAR = 0x4000;
constexpr SHGDNF SHGDN_FORPARSING = 0x8000;

constexpr SFGAOF SFGAO_CANCOPY = 0x00000001;
constexpr SFGAOF SFGAO_CANMOVE = 0x00000002;
constexpr SFGAOF SFGAO_CANLINK = 0x00000004;
constexpr SFGAOF SFGAO_CANRENAME = 0x00000010;
constexpr SFGAOF SFGAO_CANDELETE = 0x00000020;
constexpr SFGAOF SFGAO_LINK = 0x00010000;
constexpr SFGAOF SFGAO_READONLY = 0x00040000;
constexpr SFGAOF SFGAO_HIDDEN = 0x00080000;
constexpr SFGAOF SFGAO_STREAM = 0x00400000;
constexpr SFGAOF SFGAO_BROWSABLE = 0x08000000;
constexpr SFGAOF SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr SFGAOF SFGAO_FOLDER = 0x20000000;
constexpr SFGAOF SFGAO_FILESYSTEM = 0x40000000;
constexpr SFGAOF SFGAO_HASSUBFOLDER = 0x80000000;

constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;

// A name as a folder hands it out: a UTF-16 text from the task allocator that the caller
// frees (WSTR), ANSI text at a byte offset inside the item (OFFSET), or ANSI text in the
// record itself (CSTR).
struct STRRET {
    UINT uType;
    union {
        LPWSTR pOleStr;
        UINT uOffset;
        char cStr[MAX_PATH];
    };
};

struct IEnumIDList : IUnknown {
    // S_OK when all requested items were delivered, S_FALSE when the folder ended first. The
    // items are single-level lists that the caller frees.
    virtual HRESULT Next(ULONG celt, PITEMID_CHILD* items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumIDList** enumerator) = 0;
};

struct IShellFolder : IUnknown {
    virtual HRESULT ParseDisplayName(HWND owner, IBindCtx* bindContext, LPWSTR displayName,
                                     ULONG* eaten, PIDLIST_RELATIVE* list, ULONG* attributes) = 0;
    virtual HRESULT EnumObjects(HWND owner, SHCONTF flags, IEnumIDList** enumerator) = 0;
    virtual HRESULT BindToObject(PCUIDLIST_RELATIVE list, IBindCtx* bindContext, REFIID riid,
                                 void** object) = 0;
    virtual HRESULT BindToStorage(PCUIDLIST_RELATIVE list, IBindCtx* bindContext, REFIID riid,
                                  void** object) = 0;
    // The 16-bit code of a successful result orders the items: negative, zero or positive.
    virtual HRESULT CompareIDs(LPARAM column, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) = 0;
    virtual HRESULT CreateViewObject(HWND owner, REFIID riid, void** object) = 0;
    virtual HRESULT GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY items,
                                    SFGAOF* attributes) = 0;
    virtual HRESULT GetUIObjectOf(HWND owner, UINT count, PCUITEMID_CHILD_ARRAY items, REFIID riid,
                                  UINT* reserved, void** object) = 0;
    virtual HRESULT GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags, STRRET* name) = 0;
    virtual HRESULT SetNameOf(HWND owner, PCUITEMID_CHILD item, LPCWSTR name, SHGDNF flags,
                              PITEMID_CHILD* newItem) = 0;
};
using LPSHELLFOLDER = IShellFolder*;

HRESULT SHGetDesktopFolder(IShellFolder** folder);

// ---- Shell links ---------------------------------------------------------------------------
// {00021401-0000-0000-C000-000000000046}
extern const CLSID CLSID_ShellLink;
// {000214EE-0000-0000-C000-000000000046}
extern const IID IID_IShellLinkA;

constexpr DWORD SLR_NO_UI = 0x0001;
constexpr DWORD SLR_ANY_MATCH = 0x0002;
constexpr DWORD SLR_UPDATE = 0x0004;
constexpr DWORD SLR_NOUPDATE = 0x0008;
constexpr DWORD SLR_NOSEARCH = 0x0010;
constexpr DWORD SLR_NOTRACK = 0x0020;
constexpr DWORD SLR_NOLINKINFO = 0x0040;

constexpr DWORD SLGP_SHORTPATH = 0x0001;
constexpr DWORD SLGP_UNCPRIORITY = 0x0002;
constexpr DWORD SLGP_RAWPATH = 0x0004;

constexpr WORD HOTKEYF_SHIFT = 0x01;
constexpr WORD HOTKEYF_CONTROL = 0x02;
constexpr WORD HOTKEYF_ALT = 0x04;
constexpr WORD HOTKEYF_EXT = 0x08;

constexpr int INFOTIPSIZE = 1024;

// The shell link object. Texts are copied into the caller's buffers cut to their size (the
// last character always the terminating zero).
struct IShellLinkA : IUnknown {
    // S_FALSE with an empty text when the link has no file-system target.
    virtual HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* findData, DWORD flags) = 0;
    virtual HRESULT GetIDList(PIDLIST_ABSOLUTE* list) = 0;
    virtual HRESULT SetIDList(PCIDLIST_ABSOLUTE list) = 0;
    virtual HRESULT GetDescription(LPSTR name, int size) = 0;
    virtual HRESULT SetDescription(LPCSTR name) = 0;
    virtual HRESULT GetWorkingDirectory(LPSTR directory, int size) = 0;
    virtual HRESULT SetWorkingDirectory(LPCSTR directory) = 0;
    virtual HRESULT GetArguments(LPSTR arguments, int size) = 0;
    virtual HRESULT SetArguments(LPCSTR arguments) = 0;
    virtual HRESULT GetHotkey(WORD* hotkey) = 0;
    virtual HRESULT SetHotkey(WORD hotkey) = 0;
    virtual HRESULT GetShowCmd(int* showCommand) = 0;
    virtual HRESULT SetShowCmd(int showCommand) = 0;
    virtual HRESULT GetIconLocation(LPSTR iconPath, int size, int* iconIndex) = 0;
    virtual HRESULT SetIconLocation(LPCSTR iconPath, int iconIndex) = 0;
    // The path of the link file that a relative path to the target is kept against.
    virtual HRESULT SetRelativePath(LPCSTR path, DWORD reserved) = 0;
    virtual HRESULT Resolve(HWND window, DWORD flags) = 0;
    virtual HRESULT SetPath(LPCSTR file) = 0;
};

// ---- Folder browser ------------------------------------------------------------------------
using BFFCALLBACK = int (*)(HWND window, UINT message, LPARAM lParam, LPARAM data);

struct BROWSEINFOA {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot; // null: the desktop
    LPSTR pszDisplayName;       // MAX_PATH characters for the chosen item's name
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};
using LPBROWSEINFOA = BROWSEINFOA*;

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr UINT BIF_STATUSTEXT = 0x0004;
constexpr UINT BIF_RETURNFSANCESTORS = 0x0008;
constexpr UINT BIF_EDITBOX = 0x0010;
constexpr UINT BIF_VALIDATE = 0x0020;
constexpr UINT BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr UINT BIF_BROWSEFORPRINTER = 0x2000;
constexpr UINT BIF_BROWSEINCLUDEFILES = 0x4000;

// Callback messages.
constexpr UINT BFFM_INITIALIZED = 1;
constexpr UINT BFFM_SELCHANGED = 2; // lParam: the new selection's absolute list
// Messages to the dialog.
constexpr UINT BFFM_SETSTATUSTEXTA = WM_USER + 100; // lParam: LPCSTR
constexpr UINT BFFM_ENABLEOK = WM_USER + 101;       // lParam: enable
constexpr UINT BFFM_SETSELECTIONA = WM_USER + 102;  // wParam TRUE: lParam a path, else a list
constexpr UINT BFFM_SETSTATUSTEXT = BFFM_SETSTATUSTEXTA;
constexpr UINT BFFM_SETSELECTION = BFFM_SETSELECTIONA;

// Shows the folder dialog modally; the chosen item's absolute list (ILFree it), or null when
// the user cancelled.
PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA info);
