// Counts the task allocator's blocks with a spy registered on COM's allocator: every Alloc,
// Realloc and Free of CoTaskMemAlloc and the shell's allocator passes it.
#include "support/platform_fixture.h"

#include "platform/win32.h"

#include <atomic>

namespace testing_support {
namespace {

class CountingSpy : public IMallocSpy {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
            *object = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The spy lives as long as the program.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* block) override {
        if (block) ++live_;
        return block;
    }
    void* STDMETHODCALLTYPE PreFree(void* block, BOOL spied) override {
        if (block && spied) --live_;
        return block;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock,
                                        BOOL spied) override {
        // A reallocation from nothing is an allocation, one to nothing a free.
        reallocFrom_ = block;
        reallocSpied_ = spied;
        reallocSize_ = size;
        *newBlock = block;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override {
        if (!reallocFrom_ && block) ++live_;
        if (reallocFrom_ && reallocSpied_ && reallocSize_ == 0) --live_;
        return block;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::size_t live() const { return static_cast<std::size_t>(live_.load()); }

  private:
    std::atomic<long long> live_{0};
    void* reallocFrom_ = nullptr;
    BOOL reallocSpied_ = FALSE;
    SIZE_T reallocSize_ = 0;
};

// The shell keeps a few blocks for the life of the process once a part of it is first used
// (the desktop folder and its lists, the shortcut objects' modules); they are made here,
// before the counting that matters.
void warmUpShell() {
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) desktop->Release();
    PIDLIST_ABSOLUTE list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list))) ILFree(list);
    ILFree(ILCreateFromPathA("C:\\"));
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        link->SetPath("C:\\");
        link->Release();
    }
    IUniformResourceLocatorA* url = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IUniformResourceLocatorA, reinterpret_cast<void**>(&url)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(url->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            file->Load(L"C:\\warm-up.url", STGM_READ);
            file->Release();
        }
        url->SetURL("http://warm.up/", 0);
        url->Release();
    }
}

CountingSpy& spy() {
    static CountingSpy instance;
    static const bool registered = [] {
        const bool ok = SUCCEEDED(CoRegisterMallocSpy(&instance));
        warmUpShell();
        return ok;
    }();
    (void)registered;
    return instance;
}

} // namespace

std::size_t liveTaskAllocations() {
    return spy().live();
}

} // namespace testing_support
