// CoTaskMemAlloc and the shell allocator (IMalloc): one heap whose live blocks are recorded
// with their sizes, which IMalloc::GetSize and DidAlloc need anyway.
#include "platform/taskalloc.h"
#include "platform/ansi.h"
#include "platform/objidl.h"
#include "platform/shlobj.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

const IID IID_IMalloc = {
    0x00000002, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

struct Heap {
    std::mutex mutex;
    std::unordered_map<void*, std::size_t> blocks;
    std::size_t strayFrees = 0;
};

Heap& heap() {
    static Heap* h = new Heap; // outlives every static that frees at exit
    return *h;
}

void* allocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) return nullptr;
    std::lock_guard lock(heap().mutex);
    heap().blocks[block] = size;
    return block;
}

void release(void* block) {
    if (!block) return;
    {
        std::lock_guard lock(heap().mutex);
        if (heap().blocks.erase(block) == 0) {
            ++heap().strayFrees;
            return;
        }
    }
    std::free(block);
}

void* reallocate(void* block, std::size_t size) {
    if (!block) return allocate(size);
    if (size == 0) {
        release(block);
        return nullptr;
    }
    std::lock_guard lock(heap().mutex);
    const auto found = heap().blocks.find(block);
    if (found == heap().blocks.end()) return nullptr;
    void* moved = std::realloc(block, size);
    if (!moved) return nullptr; // the old block stays valid, as realloc leaves it
    heap().blocks.erase(found);
    heap().blocks[moved] = size;
    return moved;
}

class TaskMalloc final : public IMalloc {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IMalloc) {
            *object = static_cast<IMalloc*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The allocator lives as long as the process.
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }

    LPVOID Alloc(SIZE_T size) override { return allocate(size); }
    LPVOID Realloc(LPVOID memory, SIZE_T size) override { return reallocate(memory, size); }
    void Free(LPVOID memory) override { release(memory); }
    SIZE_T GetSize(LPVOID memory) override {
        std::lock_guard lock(heap().mutex);
        const auto found = heap().blocks.find(memory);
        return found == heap().blocks.end() ? static_cast<SIZE_T>(-1) : found->second;
    }
    int DidAlloc(LPVOID memory) override {
        if (!memory) return -1;
        std::lock_guard lock(heap().mutex);
        return heap().blocks.count(memory) ? 1 : 0;
    }
    void HeapMinimize() override {}
};

TaskMalloc g_malloc;

} // namespace

LPVOID CoTaskMemAlloc(std::size_t size) {
    return allocate(size);
}

void CoTaskMemFree(LPVOID memory) {
    release(memory);
}

LPVOID CoTaskMemRealloc(LPVOID memory, SIZE_T size) {
    return reallocate(memory, size);
}

HRESULT CoGetMalloc(DWORD memoryContext, LPMALLOC* malloc) {
    if (!malloc) return E_INVALIDARG;
    if (memoryContext != MEMCTX_TASK) {
        *malloc = nullptr;
        return E_INVALIDARG;
    }
    *malloc = &g_malloc;
    return S_OK;
}

HRESULT SHGetMalloc(LPMALLOC* malloc) {
    return CoGetMalloc(MEMCTX_TASK, malloc);
}

namespace platform {

LPWSTR taskAllocatedWide(const std::string& ansi) {
    const std::u16string wide = AnsiToWide(ansi);
    auto* out = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(WCHAR)));
    if (out) std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return out;
}

std::size_t liveTaskAllocations() {
    std::lock_guard lock(heap().mutex);
    return heap().blocks.size();
}

std::size_t strayTaskFrees() {
    std::lock_guard lock(heap().mutex);
    return heap().strayFrees;
}

} // namespace platform
