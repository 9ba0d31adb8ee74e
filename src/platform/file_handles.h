// The handles CreateFileA gives out: one table for the handles opened for a file's times and
// attributes and those opened for its contents. Internal to the file calls.
#pragma once

#include "platform/hostfs.h"
#include "platform/hostpath.h"
#include "platform/win32_types.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::files {

// A range a handle locked with LockFileEx.
struct LockedRange {
    std::uint64_t offset;
    std::uint64_t length;
    bool exclusive;
};

// A file opened by CreateFileA: the name it was opened with, the file that had it then (held
// open, so that no new file can be given its inode while the handle lives) and what the handle
// may do. A handle for the contents holds a descriptor open for reading (and writing where the
// host allows), which also carries its share mode and its locks; one for the times and
// attributes holds the entry itself.
struct OpenFile {
    HostPath host;
    UniqueFd held;
    ino_t inode = 0;
    DWORD access = 0; // specific rights: generic ones are mapped when the handle is made
    bool contents = false;
    bool folderSynced = false; // the folder holding the file reached the disk (first flush)
    std::vector<LockedRange> locks;
};

// The rights a handle's file calls check.
constexpr DWORD kReadRights = 0x1;                            // FILE_READ_DATA
constexpr DWORD kWriteRights = 0x2 | 0x4;                     // FILE_WRITE_DATA, FILE_APPEND_DATA
constexpr DWORD kDeleteRight = 0x00010000;                    // DELETE
constexpr DWORD kAttributeRights = 0x80 | 0x100 | 0x00100000; // read/write attributes, SYNCHRONIZE

HANDLE registerOpenFile(std::unique_ptr<OpenFile> file);
// The open file a handle stands for, or null (ERROR_INVALID_HANDLE is then the caller's to set).
OpenFile* openFileOf(HANDLE handle);
// Forgets the handle and closes what it held; false for an unknown handle.
bool closeOpenFile(HANDLE handle);

// CreateFileA for a file's contents (see win32.h).
HANDLE openContents(LPCSTR fileName, DWORD access, DWORD shareMode, DWORD disposition, DWORD flags);

} // namespace platform::files
