// What the registry tests share: the test key, a fixture that opens it, and a value's bytes.
#pragma once

#include "conformance.h"
#include "support/platform_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace registry_test {

constexpr const char* kTestKey = "Software\\Kravonel\\Conformance";

class RegistryTest : public testing_support::PlatformTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
    }
    conformance::Key key;
};

// The value's type and bytes as stored; "<missing>" when there is none.
inline std::string queryBytes(HKEY key, const char* name, DWORD& type) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return "<missing>";
    std::string data(size, conformance::kJunkByte);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &size) !=
        ERROR_SUCCESS)
        return "<failed>";
    data.resize(size);
    return data;
}

} // namespace registry_test
