#include "platform/modules.h"
#include "platform/wininet.h"

namespace platform {

namespace {
template <typename Function> FARPROC exported(Function* function) {
    return reinterpret_cast<FARPROC>(function);
}
} // namespace

const std::vector<ExportEntry>& wininetExports() {
    static const std::vector<ExportEntry> exports = {
        {"FindFirstUrlCacheGroup", exported(&FindFirstUrlCacheGroup)},
        {"FindNextUrlCacheGroup", exported(&FindNextUrlCacheGroup)},
        {"GetUrlCacheGroupAttributeA", exported(&GetUrlCacheGroupAttributeA)},
        {"SetUrlCacheGroupAttributeA", exported(&SetUrlCacheGroupAttributeA)},
        {"FindFirstUrlCacheEntryExA", exported(&FindFirstUrlCacheEntryExA)},
        {"FindNextUrlCacheEntryExA", exported(&FindNextUrlCacheEntryExA)},
        {"FindCloseUrlCache", exported(&FindCloseUrlCache)},
        {"GetUrlCacheEntryInfoExA", exported(&GetUrlCacheEntryInfoExA)},
        {"DeleteUrlCacheEntry", exported(&DeleteUrlCacheEntry)},
        {"DeleteUrlCacheEntryA", exported(&DeleteUrlCacheEntryA)},
        {"CommitUrlCacheEntryA", exported(&CommitUrlCacheEntryA)},
    };
    return exports;
}

} // namespace platform
