// The Internet shortcut object over ".url" files, and the INI-file calls that read and write
// them (kernel32 profile functions).
#pragma once

#include "platform/objidl.h"
#include "platform/win32_types.h"

// {FBF23B40-E3F0-101B-8488-00AA003E56F8}
extern const CLSID CLSID_InternetShortcut;
// {FBF23B80-E3F0-101B-8488-00AA003E56F8}
extern const IID IID_IUniformResourceLocatorA;

constexpr DWORD IURL_SETURL_FL_GUESS_PROTOCOL = 0x0001;
constexpr DWORD IURL_SETURL_FL_USE_DEFAULT_PROTOCOL = 0x0002;

struct URLINVOKECOMMANDINFOA {
    DWORD dwcbSize;
    DWORD dwFlags;
    HWND hwndParent;
    LPCSTR pcszVerb;
};
using PURLINVOKECOMMANDINFOA = URLINVOKECOMMANDINFOA*;

struct IUniformResourceLocatorA : IUnknown {
    // A null or empty address clears it.
    virtual HRESULT SetURL(LPCSTR url, DWORD flags) = 0;
    // The address from CoTaskMemAlloc (the caller frees it); S_FALSE and null without one.
    virtual HRESULT GetURL(LPSTR* url) = 0;
    virtual HRESULT InvokeCommand(PURLINVOKECOMMANDINFOA info) = 0;
};

// INI files as Windows reads them: section and key names ignore case, the first match wins,
// values lose surrounding blanks and one pair of matching quotes, CR LF and LF both end a
// line. A file name without a folder lies in the Windows folder. A null section lists the
// section names, a null key the keys of the section (each ended by a zero, the list by a
// second one). The result counts the characters copied, without the terminating zero; a text
// cut to the buffer counts size - 1 (size - 2 for the lists).
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
// Sets a key (creating the section and the file as needed); a null value deletes the key, a
// null key the whole section.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
