// What the file calls share: the attributes kept in platform.db and the path checks every
// call starts with. Internal to the file calls.
#pragma once

#include "platform/hostfs.h"
#include "platform/hostpath.h"
#include "platform/win32_types.h"

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform::files {

// Read-only, hidden and system are kept in platform.db (keyed by host path and inode, so a
// file re-created outside the platform does not inherit them); the host's own permissions are
// not consulted, so a read-only file refuses deletion even when the process runs as root.
constexpr DWORD kStoredAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD storedAttributes(const HostPath& host, ino_t inode);
// Whether attributes or a creation time are kept for the path at all (whatever inode they
// were kept for).
bool hasStoredAttributes(const HostPath& host);
void storeAttributes(const HostPath& host, ino_t inode, DWORD attrs);
// The creation time SetFileTime gave the file (ticks since 1601), kept the same way; none
// when none was given.
[[nodiscard]] std::optional<std::uint64_t> storedCreationTime(const HostPath& host, ino_t inode);
void storeCreationTime(const HostPath& host, ino_t inode, std::uint64_t ticks);
// Forgets what is kept for the entry: its attributes and its creation time.
void forgetAttributes(const HostPath& host);
// The entry and everything below it.
void forgetAttributesBelow(const HostPath& host);
// The attributes of an entry from its own status (a link is not followed): directory or
// archive, reparse point for a link, and the stored ones.
DWORD attributesOf(const HostPath& host, const struct stat& linkStat);

// The host path of a Windows path; none with the last error set.
[[nodiscard]] std::optional<HostPath> resolveOrFail(LPCSTR path);
// Sets the last error from errno, telling a missing file from a missing folder.
void failWithErrno(const HostPath& host);
// An existing entry: its host path and its own status (a link is not followed).
struct Entry {
    HostPath host;
    struct stat st;
};
// The entry a Windows path names; none with the last error set.
[[nodiscard]] std::optional<Entry> entryOrFail(LPCSTR path);

// Whether the platform's user may create, change or remove the entry at `host`: the folder
// of all users' start-up programs (the "Common Startup" Shell Folders value below
// HKEY_LOCAL_MACHINE) and everything in it only for an administrator, as on Windows. False
// with ERROR_ACCESS_DENIED set.
bool userMayChange(const HostPath& host);

// What a deletion does with a file marked read-only.
enum class ReadOnlyFile { Refuse, Delete };

// Deletes the file (or link) `name` of a folder opened without passing through a link
// (`host` is the entry's host path, which its attributes and the rights go by); a read-only
// one only with ReadOnlyFile::Delete. False with the last error set, as DeleteFileA.
bool deleteEntryIn(const UniqueFd& folder, const std::string& name, const HostPath& host,
                   ReadOnlyFile readOnly);

// Names that must survive a power loss. A file whose contents were made to reach the disk
// (FlushFileBuffers: a database's journal, a report about to replace the old one) needs its
// name there too: the first flush of a handle syncs the folder that holds the file, and
// deleting or renaming such a file later syncs the folder it leaves. Other files (a cache's
// thousands) cost no sync.
void syncFolder(const UniqueFd& folder);
void syncFolderOf(const HostPath& host);
void rememberDurable(const HostPath& host);
// Whether the file was one whose name must survive; it is forgotten.
bool forgetDurable(const HostPath& host);
// How many folders were synced so far in this process.
std::size_t folderSyncs();

// Unlinks the file (or link) `name` of an open folder unless a handle of any process holds it
// without sharing deletion, as Windows refuses the deletion then (ERROR_SHARING_VIOLATION).
// ERROR_SUCCESS, or the error; the last error is left alone, so that another thread may call.
[[nodiscard]] DWORD unlinkUnlessHeld(int folder, const std::string& name);

// Whether any handle of any process holds any file without sharing deletion, as the kernel
// lists the share locks: one look at every lock on the machine serves many deletions in a
// row, which then need no look at each file while none is held. (The kernel names the file
// by a device that a stacked file system may spell otherwise, so it tells only whether.)
// Yes when the list cannot be read.
[[nodiscard]] bool anyFileDenyingDeletion();

// Whether deleting `name` of the folder is unlinking it and nothing else: it is there, is no
// folder, carries no stored attributes, and the user may change it. When it is not,
// deleteEntryIn says what its deletion does.
bool deletedByUnlinkAlone(const UniqueFd& folder, const std::string& name, const HostPath& host);

} // namespace platform::files
