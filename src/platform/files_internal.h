// What the file calls share: the attributes kept in platform.db and the path checks every
// call starts with. Internal to the file calls.
#pragma once

#include "platform/hostfs.h"
#include "platform/win32_types.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>

namespace platform::files {

// Read-only, hidden and system are kept in platform.db (keyed by host path and inode, so a
// file re-created outside the platform does not inherit them); the host's own permissions are
// not consulted, so a read-only file refuses deletion even when the process runs as root.
constexpr DWORD kStoredAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD storedAttributes(const std::string& host, ino_t inode);
// Whether attributes or a creation time are kept for the path at all (whatever inode they
// were kept for).
bool hasStoredAttributes(const std::string& host);
void storeAttributes(const std::string& host, ino_t inode, DWORD attrs);
// The creation time SetFileTime gave the file (ticks since 1601), kept the same way; false
// when none was given.
bool storedCreationTime(const std::string& host, ino_t inode, std::uint64_t& ticks);
void storeCreationTime(const std::string& host, ino_t inode, std::uint64_t ticks);
// Forgets what is kept for the entry: its attributes and its creation time.
void forgetAttributes(const std::string& host);
// The entry and everything below it.
void forgetAttributesBelow(const std::string& host);
// The attributes of an entry from its own status (a link is not followed): directory or
// archive, reparse point for a link, and the stored ones.
DWORD attributesOf(const std::string& host, const struct stat& linkStat);

// The host path of a Windows path; false with the last error set.
bool resolveOrFail(LPCSTR path, std::string& host);
// Sets the last error from errno, telling a missing file from a missing folder.
void failWithErrno(const std::string& host);
// The host path of an existing entry and its own status (a link is not followed).
bool entryOrFail(LPCSTR path, std::string& host, struct stat& st);

// Whether the platform's user may create, change or remove the entry at `host`: the folder
// of all users' start-up programs (the "Common Startup" Shell Folders value below
// HKEY_LOCAL_MACHINE) and everything in it only for an administrator, as on Windows. False
// with ERROR_ACCESS_DENIED set.
bool userMayChange(const std::string& host);

// Deletes the file (or link) `name` of a folder opened without passing through a link
// (`host` is the entry's host path, which its attributes and the rights go by); a read-only
// one only when `evenReadOnly`. False with the last error set, as DeleteFileA.
bool deleteEntryIn(const UniqueFd& folder, const std::string& name, const std::string& host,
                   bool evenReadOnly);

} // namespace platform::files
