// The only door from the program's components and windows down to the system.
//
// On the hosted platform these calls are our own stand-ins with the Win32 names, signatures,
// constants and error codes. The Windows build (SURFKOLIBRI_WINDOWS_SDK, cmake/mingw-w64.cmake)
// includes the SDK headers here instead, so that the components compile unchanged against the
// real platform; what follows the switch is ours on either side.
#pragma once

#include <string>

#if defined(SURFKOLIBRI_WINDOWS_SDK)
#include "platform/windows/sdk.h"
#else
#include "platform/win32_types.h"

// Last error (per thread, as on Windows).
DWORD GetLastError();
void SetLastError(DWORD error);

// Code page: Windows-1252 is the ANSI code page.
UINT GetACP();
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                        int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int textLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);
LPSTR CharUpperA(LPSTR text);
DWORD CharUpperBuffA(LPSTR text, DWORD length);
LPSTR CharLowerA(LPSTR text);
DWORD CharLowerBuffA(LPSTR text, DWORD length);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrcmpA(LPCSTR a, LPCSTR b);

// Module and process.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
HMODULE LoadLibraryA(LPCSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
void Sleep(DWORD milliseconds);
// Milliseconds since an arbitrary start, never set back: for measuring time that passed.
ULONGLONG GetTickCount64();

// Files and folders.
DWORD GetFileAttributesA(LPCSTR fileName);
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes);
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData);
BOOL FindClose(HANDLE findFile);
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);
DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer);
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes);
BOOL RemoveDirectoryA(LPCSTR pathName);
BOOL DeleteFileA(LPCSTR fileName);
BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);
BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName);
// MoveFileA, and with MOVEFILE_REPLACE_EXISTING in one step over an existing file (not over a
// folder or a read-only file: ERROR_ACCESS_DENIED). Other flags: ERROR_INVALID_PARAMETER.
BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
constexpr DWORD MOVEFILE_DELAY_UNTIL_REBOOT = 0x4;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
// A file or folder opened. With only FILE_READ_ATTRIBUTES, FILE_WRITE_ATTRIBUTES and
// SYNCHRONIZE (or no rights) it is opened for its times and attributes: OPEN_EXISTING only, a
// folder only with FILE_FLAG_BACKUP_SEMANTICS (else ERROR_ACCESS_DENIED, as on Windows); such
// a handle takes no part in sharing, and reaches its file by the name it was opened with (once
// another file has taken that name, or none has it, the calls on it fail with
// ERROR_FILE_NOT_FOUND).
//
// With GENERIC_READ, GENERIC_WRITE, FILE_READ_DATA, FILE_WRITE_DATA, FILE_APPEND_DATA or DELETE
// it is opened for its contents (CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS,
// TRUNCATE_EXISTING; ERROR_ALREADY_EXISTS as last error when OPEN_ALWAYS or CREATE_ALWAYS found
// the file), and the share mode is enforced as on Windows, between the handles of one process
// and between processes on one root alike: an open whose rights another handle's share mode
// does not grant, or whose own share mode denies what another handle holds, fails with
// ERROR_SHARING_VIOLATION. A file marked read-only refuses writing (ERROR_ACCESS_DENIED).
// What a process holds is let go when it ends, however it ends. Other rights:
// ERROR_INVALID_PARAMETER.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
// Sets the times given (null leaves one as it is); the handle needs FILE_WRITE_ATTRIBUTES. The
// creation time is kept beside the file, goes with it when it is moved and is what
// FindFirstFileA reports from then on (before, the host's status-change time stands in).
BOOL SetFileTime(HANDLE file, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                 const FILETIME* lastWriteTime);
// The contents through a handle opened for them. With an OVERLAPPED the offset is taken from it
// (the handle stays synchronous: the call returns when done, and the file pointer moves past
// what was read or written); without, the handle's file pointer. A read at or past the end reads
// nothing and succeeds. A handle without the right: ERROR_ACCESS_DENIED.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped);
// Moves the file pointer (FILE_BEGIN, FILE_CURRENT, FILE_END); past the end is allowed, before
// the start is ERROR_NEGATIVE_SEEK.
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPointer,
                      DWORD moveMethod);
BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
// Ends the file at the file pointer (shortening or lengthening it); needs write access.
BOOL SetEndOfFile(HANDLE file);
// Writes what the handle wrote through to the disk; needs write access.
BOOL FlushFileBuffers(HANDLE file);
// Byte-range locks, as on Windows: an exclusive lock overlaps no other lock, a shared one only
// other shared ones, whichever handle holds them; a conflict fails at once with
// LOCKFILE_FAIL_IMMEDIATELY (ERROR_LOCK_VIOLATION) and is waited out without. The range comes
// from the OVERLAPPED's offset and may lie past the end of the file; an unlock names exactly a
// range the handle locked (else ERROR_NOT_LOCKED). Closing the handle, or the end of its
// process, lets its locks go. The locks guard other locks only: reads and writes are not
// refused in a locked range on the hosted platform.
BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytesToLockLow,
                DWORD bytesToLockHigh, LPOVERLAPPED overlapped);
BOOL UnlockFileEx(HANDLE file, DWORD reserved, DWORD bytesToUnlockLow, DWORD bytesToUnlockHigh,
                  LPOVERLAPPED overlapped);
// Closes a handle from CreateFileA; any other value: ERROR_INVALID_HANDLE.
BOOL CloseHandle(HANDLE object);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR pathName);
DWORD GetTempPathA(DWORD size, LPSTR buffer);

// Registry.
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                        REGSAM desired, LPSECURITY_ATTRIBUTES securityAttributes, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataSize);
LSTATUS RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize,
                      LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                      LPSTR className, LPDWORD classNameSize, PFILETIME lastWriteTime);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);
LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classNameSize, LPDWORD reserved,
                         LPDWORD subKeys, LPDWORD maxSubKeyLength, LPDWORD maxClassLength,
                         LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                         LPDWORD securityDescriptorSize, PFILETIME lastWriteTime);

// Clock and time.
void GetSystemTime(LPSYSTEMTIME systemTime);
BOOL SetSystemTime(const SYSTEMTIME* systemTime);
void GetLocalTime(LPSYSTEMTIME systemTime);
void GetSystemTimeAsFileTime(LPFILETIME fileTime);
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime);
BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, LPFILETIME fileTime);

// Shell and sound.
HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT showCommand);
DWORD mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);

// The shell's list of recent documents. A null path (with SHARD_PIDL, SHARD_PATHA or
// SHARD_PATHW) empties it: every shortcut file (*.lnk) in the user's Recent folder is
// deleted, a read-only one excepted; other files and sub-folders stay; the values of
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RecentDocs are removed, the
// key and its subkeys stay. With a path (or an item list with SHARD_PIDL) of an existing
// file or folder it adds the document: a shell link "<name>.lnk" to it in the Recent folder
// and its name first in RecentDocs; a document that is not there adds nothing. Another flag:
// ERROR_INVALID_PARAMETER.
void SHAddToRecentDocs(UINT flags, LPCVOID path);

// Message box and beep (user32), shown through the program's modal seam; in record mode the
// beep is logged instead of sounded. The window handle is ignored: the box is application
// modal. Returns the IDxxx of the button pressed; a box closed without a button answers as
// its Cancel button, or IDNO (yes/no) and IDABORT (abort/retry/ignore) where it has none.
int MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type);
BOOL MessageBeep(UINT type);

// The WinINet URL cache, COM basics and the URL history service.
#include "platform/com.h"
#include "platform/objidl.h"
#include "platform/urlhistory.h"
#include "platform/wininet.h"
// The shell: namespace, item identifier lists, shell links, file types, the folder browser,
// Internet shortcuts and INI files, the file-open dialog, the window calls dialogs need, and
// the drawing of their owner-drawn parts.
#include "platform/commdlg.h"
#include "platform/intshcut.h"
#include "platform/shellapi.h"
#include "platform/shlobj.h"
#include "platform/shlwapi.h"
#include "platform/wingdi.h"
#include "platform/winuser.h"
#endif

// The hosted machine's own state (platform.db under the platform root), read through once:
// empty when it serves, else a message that names the file and what is wrong with it. A
// Windows machine has no such state: always empty there.
std::string HostedMachineProblem();

// Framework helpers that the components share with the Win32 calls above: text in the ANSI
// code page, the floating-point date-time (days since 30 December 1899), whole-file access
// over Windows paths, and owners for the handles the calls give out.
#include "platform/ansi.h"
#include "platform/datetime.h"
#include "platform/filestream.h"
#include "platform/handles.h"
