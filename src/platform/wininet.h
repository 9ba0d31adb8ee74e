// The WinINet URL cache: cached content, cookies ("Cookie:") and the URL history ("Visited:")
// in one store of entries keyed by URL.
#pragma once

#include "platform/win32_types.h"

using GROUPID = LONGLONG;

// Cache entry types.
constexpr DWORD NORMAL_CACHE_ENTRY = 0x00000001;
constexpr DWORD STABLE_CACHE_ENTRY = 0x00000002;
constexpr DWORD STICKY_CACHE_ENTRY = 0x00000004;
constexpr DWORD EDITED_CACHE_ENTRY = 0x00000008;
constexpr DWORD TRACK_OFFLINE_CACHE_ENTRY = 0x00000010;
constexpr DWORD TRACK_ONLINE_CACHE_ENTRY = 0x00000020;
constexpr DWORD SPARSE_CACHE_ENTRY = 0x00010000;
constexpr DWORD OCX_CACHE_ENTRY = 0x00020000;
constexpr DWORD COOKIE_CACHE_ENTRY = 0x00100000;
constexpr DWORD URLHISTORY_CACHE_ENTRY = 0x00200000;
// Marked for deletion while locked; deleted when the last lock is released.
constexpr DWORD PENDING_DELETE_CACHE_ENTRY = 0x00400000;

// The strings that the pointers name follow the record in the caller's buffer.
struct INTERNET_CACHE_ENTRY_INFOA {
    DWORD dwStructSize;
    LPSTR lpszSourceUrlName;
    LPSTR lpszLocalFileName;
    DWORD CacheEntryType;
    DWORD dwUseCount;
    DWORD dwHitRate;
    DWORD dwSizeLow;
    DWORD dwSizeHigh;
    FILETIME LastModifiedTime;
    FILETIME ExpireTime;
    FILETIME LastAccessTime;
    FILETIME LastSyncTime;
    LPSTR lpHeaderInfo;
    DWORD dwHeaderInfoSize;
    LPSTR lpszFileExtension;
    union {
        DWORD dwReserved;
        DWORD dwExemptDelta;
    };
};
using LPINTERNET_CACHE_ENTRY_INFOA = INTERNET_CACHE_ENTRY_INFOA*;

constexpr DWORD GROUPNAME_MAX_LENGTH = 120;
constexpr DWORD GROUP_OWNER_STORAGE_SIZE = 4;

struct INTERNET_CACHE_GROUP_INFOA {
    DWORD dwGroupSize;
    DWORD dwGroupFlags;
    DWORD dwGroupType;
    DWORD dwDiskUsage;
    DWORD dwDiskQuota;
    DWORD dwOwnerStorage[GROUP_OWNER_STORAGE_SIZE];
    CHAR szGroupName[GROUPNAME_MAX_LENGTH];
};
using LPINTERNET_CACHE_GROUP_INFOA = INTERNET_CACHE_GROUP_INFOA*;

// Walks: the pattern selects the container (null or "": content, "Cookie:", "Visited:");
// an entry is kept when its type shares a bit with the filter.
HANDLE FindFirstUrlCacheEntryExA(LPCSTR urlSearchPattern, DWORD flags, DWORD filter,
                                 GROUPID groupId, LPINTERNET_CACHE_ENTRY_INFOA firstCacheEntryInfo,
                                 LPDWORD cbEntryInfo, LPVOID groupAttributes,
                                 LPDWORD cbGroupAttributes, LPVOID reserved);
BOOL FindNextUrlCacheEntryExA(HANDLE enumHandle, LPINTERNET_CACHE_ENTRY_INFOA nextCacheEntryInfo,
                              LPDWORD cbEntryInfo, LPVOID groupAttributes,
                              LPDWORD cbGroupAttributes, LPVOID reserved);
BOOL FindCloseUrlCache(HANDLE enumHandle);
BOOL GetUrlCacheEntryInfoExA(LPCSTR url, LPINTERNET_CACHE_ENTRY_INFOA cacheEntryInfo,
                             LPDWORD cbCacheEntryInfo, LPSTR redirectUrl, LPDWORD cbRedirectUrl,
                             LPVOID reserved, DWORD flags);
// Removes the entry and its file in the cache folder.
// A locked entry is not deleted at once: ERROR_ACCESS_DENIED, and it goes when unlocked.
BOOL DeleteUrlCacheEntryA(LPCSTR urlName);
BOOL DeleteUrlCacheEntry(LPCSTR urlName);
// Looks an entry up as GetUrlCacheEntryInfoExA does and locks it (its file is in use);
// UnlockUrlCacheEntryFileA releases one lock.
BOOL RetrieveUrlCacheEntryFileA(LPCSTR urlName, LPINTERNET_CACHE_ENTRY_INFOA cacheEntryInfo,
                                LPDWORD cbCacheEntryInfo, DWORD reserved);
BOOL UnlockUrlCacheEntryFileA(LPCSTR urlName, DWORD reserved);
// Adds the entry, or replaces the one with the same URL. The local file, when given, must
// exist; its size becomes the entry's size.
BOOL CommitUrlCacheEntryA(LPCSTR urlName, LPCSTR localFileName, FILETIME expireTime,
                          FILETIME lastModifiedTime, DWORD cacheEntryType, LPBYTE headerInfo,
                          DWORD cchHeaderInfo, LPCSTR fileExtension, LPCSTR originalUrl);

// Cache groups. The hosted cache has none: the walks find nothing and the attributes of any
// group are not found.
HANDLE FindFirstUrlCacheGroup(DWORD flags, DWORD filter, LPVOID searchCondition,
                              DWORD cbSearchCondition, GROUPID* groupId, LPVOID reserved);
BOOL FindNextUrlCacheGroup(HANDLE find, GROUPID* groupId, LPVOID reserved);
BOOL GetUrlCacheGroupAttributeA(GROUPID groupId, DWORD flags, DWORD attributes,
                                LPINTERNET_CACHE_GROUP_INFOA groupInfo, LPDWORD cbGroupInfo,
                                LPVOID reserved);
BOOL SetUrlCacheGroupAttributeA(GROUPID groupId, DWORD flags, DWORD attributes,
                                LPINTERNET_CACHE_GROUP_INFOA groupInfo, LPVOID reserved);
