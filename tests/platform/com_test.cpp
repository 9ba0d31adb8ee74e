#include "conformance.h"
#include "support/platform_fixture.h"

#include <thread>

using ComTest = testing_support::PlatformTest;

// COM serves a thread once the thread has asked for it, and the count of CoInitialize calls
// is balanced by CoUninitialize.
TEST_F(ComTest, AThreadMakesObjectsOnlyAfterCoInitialize) {
    HRESULT before = S_OK;
    bool clearedBefore = false;
    HRESULT first = E_FAIL;
    HRESULT second = E_FAIL;
    HRESULT after = E_FAIL;
    HRESULT afterUninitialize = S_OK;
    std::thread worker([&] {
        void* object = &before;
        before = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  &object);
        clearedBefore = object == nullptr;
        first = CoInitialize(nullptr);
        second = CoInitialize(nullptr);
        IShellLinkA* link = nullptr;
        after = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link));
        if (link) link->Release();
        CoUninitialize();
        CoUninitialize();
        object = &before;
        afterUninitialize = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkA, &object);
    });
    worker.join();
    EXPECT_EQ(CO_E_NOTINITIALIZED, before);
    EXPECT_TRUE(clearedBefore);
    EXPECT_EQ(S_OK, first);
    EXPECT_EQ(S_FALSE, second);
    EXPECT_EQ(S_OK, after);
    EXPECT_EQ(CO_E_NOTINITIALIZED, afterUninitialize);

    // The test's own thread has COM from its fixture.
    IShellLinkA* link = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    link->Release();
}
