// File information from the shell: type names from the registry's classes, attributes and
// the system image list of small and large icons (shell32, comctl32).
#pragma once

#include "platform/shlobj.h"
#include "platform/win32_types.h"

struct HICON__;
using HICON = HICON__*;
struct _IMAGELIST;
using HIMAGELIST = _IMAGELIST*;

struct SHFILEINFOA {
    HICON hIcon; // with SHGFI_ICON; the caller destroys it with DestroyIcon
    int iIcon;   // index into the system image list
    DWORD dwAttributes;
    CHAR szDisplayName[MAX_PATH];
    CHAR szTypeName[80];
};

constexpr UINT SHGFI_LARGEICON = 0x00000000;
constexpr UINT SHGFI_SMALLICON = 0x00000001;
constexpr UINT SHGFI_OPENICON = 0x00000002;
constexpr UINT SHGFI_PIDL = 0x00000008;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x00000010;
constexpr UINT SHGFI_ICON = 0x00000100;
constexpr UINT SHGFI_DISPLAYNAME = 0x00000200;
constexpr UINT SHGFI_TYPENAME = 0x00000400;
constexpr UINT SHGFI_ATTRIBUTES = 0x00000800;
constexpr UINT SHGFI_SYSICONINDEX = 0x00004000;

// With SHGFI_PIDL the path is an absolute item identifier list; with SHGFI_USEFILEATTRIBUTES
// the file is not looked at and `attributes` tells a folder from a file. Returns the system
// image list (small with SHGFI_SMALLICON) for SHGFI_SYSICONINDEX, otherwise nonzero on
// success; 0 when the item does not exist.
DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT infoSize,
                         UINT flags);

int ImageList_GetImageCount(HIMAGELIST list);
