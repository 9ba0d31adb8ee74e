// Adding a document to the shell's recent-documents list (SHAddToRecentDocs with a path).
// Internal to the platform layer.
#pragma once

#include "platform/win32_types.h"

namespace platform {
// The document by path (SHARD_PATHA, SHARD_PATHW) or item list (SHARD_PIDL).
void addRecentDocument(UINT flags, LPCVOID document);
} // namespace platform
