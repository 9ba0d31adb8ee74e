// The fixtures of the INI-file and Internet shortcut tests: a file read into a junk-filled
// buffer, a shortcut object with its file interface.
#pragma once

#include "shell_support.h"

#include <vector>

namespace shell_test {

class ProfileStringTest : public ShellTestBase {
  protected:
    // GetPrivateProfileStringA into a junk-filled buffer of `size`; the bytes it left.
    std::string get(const char* section, const char* key, const char* fallback, DWORD size,
                    DWORD& result, const std::string& file = {}) {
        std::vector<char> buffer(size + 4, conformance::kJunkByte);
        result = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size,
                                          (file.empty() ? at("test.ini") : file).c_str());
        return std::string(buffer.data(), size);
    }
    std::string value(const char* section, const char* key, const char* fallback = "<default>") {
        DWORD n = 0;
        const std::string bytes = get(section, key, fallback, 256, n);
        EXPECT_EQ('\0', bytes[n]);
        return bytes.substr(0, n);
    }
};

class InternetShortcutTest : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IUniformResourceLocatorA, url.out()));
        ASSERT_EQ(S_OK, url->QueryInterface(IID_IPersistFile, persist.out()));
    }
    void TearDown() override {
        persist.reset();
        url.reset();
        ShellTestBase::TearDown();
    }
    std::string address() {
        LPSTR text = reinterpret_cast<LPSTR>(0x1);
        const HRESULT hr = url->GetURL(&text);
        if (hr == S_FALSE) return text ? "<not null>" : "<none>";
        EXPECT_EQ(S_OK, hr);
        std::string result = text;
        CoTaskMemFree(text);
        return result;
    }
    Com<IUniformResourceLocatorA> url;
    Com<IPersistFile> persist;
};

} // namespace shell_test
