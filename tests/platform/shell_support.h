// Helpers of the shell tests: owners for COM objects and item lists, names decoded from
// STRRET, and a fixture that proves every block of the task allocator comes back.
#pragma once

#include "conformance.h"
#include "support/platform_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shell_test {

// A COM pointer released when the test leaves its scope.
template <typename T> class Com {
  public:
    Com() = default;
    ~Com() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }
    T** put() { return &p_; }

  private:
    T* p_ = nullptr;
};

// An item list freed with ILFree.
class List {
  public:
    List() = default;
    explicit List(ITEMIDLIST* list) : p_(list) {}
    ~List() { ILFree(p_); }
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ITEMIDLIST* get() const { return p_; }
    ITEMIDLIST** out() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    ITEMIDLIST* p_ = nullptr;
};

// The text of a STRRET as a folder handed it out for `item`; a UTF-16 text is freed.
inline std::string strretText(STRRET& name, PCUIDLIST_RELATIVE item) {
    switch (name.uType) {
    case STRRET_WSTR: {
        std::string text = WideToAnsi(name.pOleStr);
        CoTaskMemFree(name.pOleStr);
        return text;
    }
    case STRRET_OFFSET:
        return reinterpret_cast<const char*>(item) + name.uOffset;
    case STRRET_CSTR:
        return name.cStr;
    default:
        return "<unknown STRRET kind>";
    }
}

inline std::string displayName(IShellFolder* folder, PCUIDLIST_RELATIVE item, SHGDNF flags,
                               UINT* kind = nullptr) {
    STRRET name;
    conformance::fillJunk(name);
    const HRESULT hr = folder->GetDisplayNameOf(item, flags, &name);
    if (FAILED(hr)) return "<failed>";
    if (kind) *kind = name.uType;
    return strretText(name, item);
}

// Every item of a folder in the order of the enumerator.
inline std::vector<std::string> enumerate(IShellFolder* folder, SHCONTF flags) {
    std::vector<std::string> names;
    Com<IEnumIDList> items;
    if (FAILED(folder->EnumObjects(nullptr, flags, items.put()))) return {"<failed>"};
    PITEMID_CHILD item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
        names.push_back(displayName(folder, item, SHGDN_INFOLDER | SHGDN_FORPARSING));
        ILFree(item);
    }
    return names;
}

class ShellTestBase : public testing_support::PlatformTest {
  protected:
    void SetUp() override { liveBefore_ = testing_support::liveTaskAllocations(); }
    void TearDown() override {
        EXPECT_EQ(liveBefore_, testing_support::liveTaskAllocations())
            << "a list or text of the shell was not given back";
    }

    // The Windows path of a place below the test's profile folder.
    std::string at(const std::string& below) const { return platform.profile() + "\\" + below; }
    // A file below the profile folder with the given contents, created with its folders.
    void file(const std::string& below, const std::string& contents = "x") const {
        fileAt(at(below), contents);
    }
    // The same anywhere on the drives.
    void fileAt(const std::string& windowsPath, const std::string& contents = "x") const {
        testing_support::writeHostFile(platform.hostPath(windowsPath), contents);
    }
    void folder(const std::string& windowsPath) const {
        std::string path;
        for (std::size_t pos = windowsPath.find('\\', 3);; pos = windowsPath.find('\\', pos + 1)) {
            path = windowsPath.substr(0, pos);
            CreateDirectoryA(path.c_str(), nullptr);
            if (pos == std::string::npos) break;
        }
    }

  private:
    std::size_t liveBefore_ = 0;
};

} // namespace shell_test
