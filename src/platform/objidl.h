// COM interfaces the shell objects share: the task allocator and persistent files.
#pragma once

#include "platform/com.h"

#include <cstddef>

using SIZE_T = std::size_t;

// {00000002-0000-0000-C000-000000000046}
extern const IID IID_IMalloc;
// {0000010C-0000-0000-C000-000000000046}
extern const IID IID_IPersist;
// {0000010B-0000-0000-C000-000000000046}
extern const IID IID_IPersistFile;

// The task allocator. Blocks from Alloc are the same blocks CoTaskMemAlloc hands out.
struct IMalloc : IUnknown {
    virtual LPVOID Alloc(SIZE_T size) = 0;
    virtual LPVOID Realloc(LPVOID memory, SIZE_T size) = 0;
    virtual void Free(LPVOID memory) = 0;
    // The size of a block from this allocator; (SIZE_T)-1 for anything else.
    virtual SIZE_T GetSize(LPVOID memory) = 0;
    // 1 for a block from this allocator, 0 otherwise, -1 for none.
    virtual int DidAlloc(LPVOID memory) = 0;
    virtual void HeapMinimize() = 0;
};
using LPMALLOC = IMalloc*;

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* classId) = 0;
};

struct IPersistFile : IPersist {
    // S_OK when there are unsaved changes, S_FALSE otherwise.
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
    // A null name saves to the file loaded or saved last.
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;
    // The name comes from CoTaskMemAlloc; S_FALSE with the default name when there is none.
    virtual HRESULT GetCurFile(LPOLESTR* fileName) = 0;
};

// Bind contexts are accepted where the calls take one and otherwise ignored.
struct IBindCtx;

constexpr DWORD STGM_READ = 0x00000000;
constexpr DWORD STGM_WRITE = 0x00000001;
constexpr DWORD STGM_READWRITE = 0x00000002;
constexpr DWORD STGM_SHARE_DENY_NONE = 0x00000040;
constexpr DWORD STGM_SHARE_DENY_WRITE = 0x00000020;
constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x00000010;

constexpr DWORD MEMCTX_TASK = 1;

HRESULT CoGetMalloc(DWORD memoryContext, LPMALLOC* malloc);
LPVOID CoTaskMemRealloc(LPVOID memory, SIZE_T size);
