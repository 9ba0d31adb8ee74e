// Move-only owners of the handles the Win32 calls hand out, closed when the owner goes.
// Over the Win32 calls only, so they serve the program, the tool and the tests alike.
//
// One template, UniqueHandle<Traits>, does the owning; a kind of handle is a small traits
// struct that names its type, the value that means "none", which values are held and how one
// is closed. Closing never throws, so an owner going out of scope never raises.
#pragma once

#include "platform/win32.h"

#include <utility>

template <typename Traits> class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;
    // A COM object: one with its own reference count.
    static constexpr bool kComObject = requires(Handle h) {
        h->AddRef();
        h->Release();
    };

    UniqueHandle() = default;
    // Takes over a handle the caller holds.
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    bool valid() const noexcept { return Traits::valid(handle_); }
    explicit operator bool() const noexcept { return valid(); }

    // For the call that hands out a handle; one held before is closed first.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }
    // As put(), typed as the call wants it: void** for the calls that hand out a COM object
    // by interface id.
    auto out() noexcept {
        if constexpr (kComObject)
            return reinterpret_cast<void**>(put());
        else
            return put();
    }
    // Gives the handle up without closing it.
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    // Closes the handle held (if any) and holds `handle` instead.
    void reset(Handle handle = Traits::invalid()) noexcept {
        close();
        handle_ = handle;
    }
    // Closes now; false when the close itself failed (nothing held is a success).
    bool close() noexcept {
        if (!valid()) {
            handle_ = Traits::invalid();
            return true;
        }
        return Traits::close(release());
    }

    // A COM object: its methods through the owner, and a reference of the owner's own.
    Handle operator->() const noexcept requires kComObject { return handle_; }
    // Shares an object someone else holds (takes a reference of its own).
    void assign(Handle object) noexcept requires kComObject {
        if (object) object->AddRef();
        reset(object);
    }

  private:
    Handle handle_ = Traits::invalid();
};

// Handles that are pointers, null when none is held.
template <typename T> struct PointerHandleTraits {
    using Handle = T;
    static constexpr Handle invalid() noexcept { return nullptr; }
    static bool valid(Handle handle) noexcept { return handle != nullptr; }
};

// A registry key from RegOpenKeyExA or RegCreateKeyExA.
struct RegistryKeyTraits : PointerHandleTraits<HKEY> {
    static bool close(HKEY key) noexcept { return RegCloseKey(key) == ERROR_SUCCESS; }
};
using UniqueHKey = UniqueHandle<RegistryKeyTraits>;

// A file search from FindFirstFileA (INVALID_HANDLE_VALUE when it found nothing).
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle find) noexcept {
        return find != INVALID_HANDLE_VALUE && find != nullptr;
    }
    static bool close(Handle find) noexcept { return FindClose(find) != FALSE; }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

// A file or folder from CreateFileA (INVALID_HANDLE_VALUE when it could not be opened).
struct FileHandleTraits : FindHandleTraits {
    static bool close(Handle file) noexcept { return CloseHandle(file) != FALSE; }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// A walk of the URL cache from FindFirstUrlCacheEntryExA (null when it found nothing).
struct UrlCacheFindTraits : PointerHandleTraits<HANDLE> {
    static bool close(HANDLE find) noexcept { return FindCloseUrlCache(find) != FALSE; }
};
using UniqueUrlCacheFind = UniqueHandle<UrlCacheFindTraits>;

// An item identifier list from the shell allocator, given back with ILFree.
struct ItemListTraits : PointerHandleTraits<LPITEMIDLIST> {
    static bool close(LPITEMIDLIST list) noexcept {
        ILFree(list);
        return true;
    }
};
using PidlRef = UniqueHandle<ItemListTraits>;

// A COM object, released when the owner goes.
template <typename T> struct ComTraits : PointerHandleTraits<T*> {
    static bool close(T* object) noexcept {
        object->Release();
        return true;
    }
};
template <typename T> using ComRef = UniqueHandle<ComTraits<T>>;
