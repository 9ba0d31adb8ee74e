// The Windows build's side of win32.h: the SDK's own declarations of every call, type and
// constant the components use. Text calls are the ANSI ones (no UNICODE), as on the hosted
// platform.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

// COM first: the shell's headers declare their interfaces with its macros.
#include <objbase.h>
#include <objidl.h>

#include <commctrl.h>
#include <commdlg.h>
#include <intshcut.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <urlhist.h>
#include <wininet.h>

// Cache entry types of older WinINet headers that the cache component still names.
#ifndef STABLE_CACHE_ENTRY
#define STABLE_CACHE_ENTRY 0x00000002
#endif
#ifndef OCX_CACHE_ENTRY
#define OCX_CACHE_ENTRY 0x00020000
#endif
