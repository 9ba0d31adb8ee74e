#include "traces/TraceClearing.h"

#include "platform/win32.h"
#include "traces/UserRegistryKey.h"

namespace {

// The names are read in full before the first one is deleted, so that deleting does not
// move the enumeration under the reader.
void deleteEveryValue(const char* path) {
    const UserRegistryKey key(path);
    key.DeleteValues(key.ValueNames());
}

} // namespace

void ClearRecentDocuments() {
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
}

void ClearRunList() {
    deleteEveryValue(kRunMruKey);
}

void ClearTypedAddresses() {
    deleteEveryValue(kTypedUrlsKey);
}
