#include "platform/com.h"

#include "platform/shelllink.h"
#include "platform/urlhistory.h"
#include "platform/win32.h"

#include <cstdlib>
#include <cstring>
#include <vector>

const IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

namespace {

thread_local int t_initialised = 0;

struct ComClass {
    CLSID clsid;
    platform::ClassFactory factory;
};

std::vector<ComClass>& classes() {
    static std::vector<ComClass> table = {
        {CLSID_CUrlHistory, platform::createUrlHistory},
        {CLSID_ShellLink, platform::createShellLink},
        {CLSID_InternetShortcut, platform::createInternetShortcut},
    };
    return table;
}

} // namespace

HRESULT CoInitialize(LPVOID) {
    return t_initialised++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initialised > 0) --t_initialised;
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD clsContext, REFIID riid,
                         LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (t_initialised == 0) return CO_E_NOTINITIALIZED;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!(clsContext & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER))) return REGDB_E_CLASSNOTREG;
    for (const auto& c : classes())
        if (c.clsid == clsid) return c.factory(riid, object);
    return REGDB_E_CLASSNOTREG;
}

namespace platform {
void registerComClass(REFCLSID clsid, ClassFactory factory) {
    for (auto& c : classes())
        if (c.clsid == clsid) {
            c.factory = factory;
            return;
        }
    classes().push_back({clsid, factory});
}
} // namespace platform
