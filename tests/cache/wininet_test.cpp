// The hosted URL cache, checked as its callers use it: the buffer handshake, containers,
// filters, walks that delete as they go, and deletion with the entry's file.
#include "support/cache_entries.h"

#include "support/child_process.h"
#include "support/platform_fixture.h"

#include "platform/filetime.h"
#include "platform/hostfs.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "support/caller_trace.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <vector>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class WininetTest : public testing_support::PlatformTest {};

constexpr DWORD kJunk = 0xDEADBEEF;

// A whole walk with the two-call handshake, as URLs in walk order.
std::vector<std::string>
walk(LPCSTR pattern, DWORD filter,
     const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    std::vector<std::string> urls;
    DWORD size = 0;
    HANDLE find =
        FindFirstUrlCacheEntryExA(pattern, 0, filter, 0, nullptr, &size, nullptr, nullptr, nullptr);
    EXPECT_EQ(find, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return urls;
    std::vector<char> buffer(size);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    find = FindFirstUrlCacheEntryExA(pattern, 0, filter, 0, info, &size, nullptr, nullptr, nullptr);
    EXPECT_NE(find, nullptr);
    while (find) {
        urls.push_back(info->lpszSourceUrlName);
        size = 0;
        if (FindNextUrlCacheEntryExA(find, nullptr, &size, nullptr, nullptr, nullptr)) break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
            break;
        }
        buffer.assign(size, 0);
        info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
        EXPECT_TRUE(FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    }
    if (find) {
        EXPECT_TRUE(FindCloseUrlCache(find));
    }
    return urls;
}

constexpr DWORD kAll = 0xFFFFFFFF;

// Opens an entry's file as a browser showing the page does, which locks the entry.
bool lockEntry(const std::string& url) {
    std::vector<char> buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    return RetrieveUrlCacheEntryFileA(
        url.c_str(), reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data()), &size, 0);
}

} // namespace

TEST_F(WininetTest, LookupWalksTheBufferHandshakeAndKeepsStringsInTheBuffer) {
    const std::string file = addContent("http://www.example.com/index.html", "<p>hi</p>");

    DWORD size = 0;
    SetLastError(kJunk);
    EXPECT_FALSE(GetUrlCacheEntryInfoExA("http://www.example.com/index.html", nullptr, &size,
                                         nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GT(size, sizeof(INTERNET_CACHE_ENTRY_INFOA));

    const DWORD needed = size;
    std::vector<char> buffer(needed, 'x');
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    size = needed - 1;
    SetLastError(kJunk);
    EXPECT_FALSE(GetUrlCacheEntryInfoExA("http://www.example.com/index.html", info, &size, nullptr,
                                         nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, needed);

    ASSERT_TRUE(GetUrlCacheEntryInfoExA("http://www.example.com/index.html", info, &size, nullptr,
                                        nullptr, nullptr, 0));
    const char* begin = buffer.data();
    const char* end = begin + needed;
    for (const char* text : {info->lpszSourceUrlName, info->lpszLocalFileName, info->lpHeaderInfo,
                             info->lpszFileExtension}) {
        SCOPED_TRACE(text);
        ASSERT_NE(text, nullptr);
        EXPECT_GE(text, begin + sizeof(INTERNET_CACHE_ENTRY_INFOA));
        EXPECT_LT(text, end);
    }
    EXPECT_STREQ(info->lpszSourceUrlName, "http://www.example.com/index.html");
    EXPECT_STREQ(info->lpszLocalFileName, file.c_str());
    EXPECT_STREQ(info->lpszFileExtension, "htm");
    EXPECT_EQ(info->dwSizeLow, 9u);
    EXPECT_EQ(info->dwSizeHigh, 0u);
    EXPECT_EQ(platform::ticksOf(info->LastModifiedTime), kMarch2004);
}

TEST_F(WininetTest, UnknownUrlAndEmptySelectionReportTheirErrors) {
    DWORD size = 0;
    SetLastError(kJunk);
    EXPECT_FALSE(
        GetUrlCacheEntryInfoExA("http://nowhere/", nullptr, &size, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    SetLastError(kJunk);
    EXPECT_EQ(
        FindFirstUrlCacheEntryExA(nullptr, 0, kAll, 0, nullptr, &size, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);

    SetLastError(kJunk);
    EXPECT_FALSE(DeleteUrlCacheEntry("http://nowhere/"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    SetLastError(kJunk);
    EXPECT_FALSE(FindNextUrlCacheEntryExA(nullptr, nullptr, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(WininetTest, PatternSelectsTheContainerAndTheFilterTheTypes) {
    addContent("http://a.example/page.htm");
    const std::string cookie = addCookie("a.example");
    addContent("http://b.example/sticky.css", "body{}", STICKY_CACHE_ENTRY);
    const std::string visit = addVisit("http://a.example/page.htm");

    // No pattern is the content, as the empty one: never cookies or history.
    EXPECT_EQ(walk(nullptr, kAll), (std::vector<std::string>{"http://a.example/page.htm",
                                                             "http://b.example/sticky.css"}));
    EXPECT_EQ(walk("", kAll), (std::vector<std::string>{"http://a.example/page.htm",
                                                        "http://b.example/sticky.css"}));
    EXPECT_EQ(walk("Cookie:", kAll), (std::vector<std::string>{cookie}));
    EXPECT_EQ(walk("Visited:", kAll), (std::vector<std::string>{visit}));
    EXPECT_EQ(walk("", NORMAL_CACHE_ENTRY),
              (std::vector<std::string>{"http://a.example/page.htm"}));
    EXPECT_TRUE(walk(nullptr, COOKIE_CACHE_ENTRY).empty());
    EXPECT_EQ(walk("Cookie:", COOKIE_CACHE_ENTRY), (std::vector<std::string>{cookie}));
    EXPECT_TRUE(walk(nullptr, 0).empty());
    EXPECT_EQ(walk("http://b.", kAll), (std::vector<std::string>{"http://b.example/sticky.css"}));
}

TEST_F(WininetTest, ShortBufferDoesNotMoveTheWalkOn) {
    addContent("http://x.example/1.htm");
    addContent("http://x.example/2.htm");
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryExA("", 0, kAll, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    EXPECT_STREQ(info->lpszSourceUrlName, "http://x.example/1.htm");
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        size = 8;
        EXPECT_FALSE(FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    }
    size = static_cast<DWORD>(buffer.size());
    ASSERT_TRUE(FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_STREQ(info->lpszSourceUrlName, "http://x.example/2.htm");
    size = static_cast<DWORD>(buffer.size());
    EXPECT_FALSE(FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(FindCloseUrlCache(find));
    EXPECT_FALSE(FindCloseUrlCache(find));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// The walk's deletions are written together, yet from the moment one returns every later call
// of this process finds the entry gone, and other processes see them all once the walk ends.
TEST_F(WininetTest, WalkThatDeletesAsItGoesSeesEveryOtherEntryOnce) {
    std::vector<std::string> urls;
    for (int i = 0; i < 40; ++i) {
        urls.push_back("http://walk.example/" + std::to_string(i) + ".htm");
        addContent(urls.back());
    }
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryExA("", 0, kAll, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    std::vector<std::string> seen;
    std::set<std::string> deletedAhead;
    int step = 0;
    do {
        const std::string url = info->lpszSourceUrlName;
        EXPECT_EQ(deletedAhead.count(url), 0u) << url << " was deleted before the walk reached it";
        seen.push_back(url);
        EXPECT_TRUE(DeleteUrlCacheEntry(url.c_str()));
        SetLastError(kJunk);
        EXPECT_FALSE(DeleteUrlCacheEntry(url.c_str()));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
        DWORD lookupSize = 0;
        EXPECT_FALSE(GetUrlCacheEntryInfoExA(url.c_str(), nullptr, &lookupSize, nullptr, nullptr,
                                             nullptr, 0));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
        const std::vector<std::string> left = walk(nullptr, kAll);
        EXPECT_EQ(left.end(), std::find(left.begin(), left.end(), url));
        // Every fifth step also removes an entry further on, which must then not appear.
        if (++step % 5 == 0) {
            const std::size_t index = static_cast<std::size_t>(std::stoi(url.substr(20))) + 2;
            if (index < urls.size() && DeleteUrlCacheEntry(urls[index].c_str()))
                deletedAhead.insert(urls[index]);
        }
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    FindCloseUrlCache(find);
    EXPECT_FALSE(deletedAhead.empty());
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), seen.size());
    EXPECT_EQ(seen.size() + deletedAhead.size(), urls.size());
    EXPECT_TRUE(walk(nullptr, kAll).empty());
    EXPECT_EQ(0, RunInChildProcess([] {
                  return platform::urlcache::list(platform::urlcache::Container::All).empty() ? 0
                                                                                              : 1;
              }));
}

// A walk reads ahead; an entry deleted ahead of it, by this process alone or by another
// process while this one deletes as it goes, is never handed out, and none is skipped.
TEST_F(WininetTest, AWalkNeverHandsOutAnEntryDeletedAheadOfIt) {
    std::vector<std::string> urls;
    for (int i = 0; i < 60; ++i) {
        urls.push_back("http://ahead.example/" + std::to_string(100 + i) + ".htm");
        addContent(urls.back());
    }
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryExA("", 0, kAll, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    std::vector<std::string> seen;
    std::set<std::string> gone;
    do {
        const std::string url = info->lpszSourceUrlName;
        EXPECT_EQ(0u, gone.count(url)) << url << " was handed out after it was deleted";
        seen.push_back(url);
        const std::size_t index = static_cast<std::size_t>(std::stoi(url.substr(21))) - 100;
        if (index < 30 && index % 2 == 0) {
            // Only an entry further on goes: the walk's read-ahead holds it by now.
            ASSERT_TRUE(DeleteUrlCacheEntry(urls[index + 4].c_str()));
            gone.insert(urls[index + 4]);
        } else if (index >= 30 && index % 3 == 1 && index + 2 < urls.size()) {
            // Another process deletes one further on; this one deletes what it was handed.
            const std::string ahead = urls[index + 2];
            if (!gone.count(ahead)) {
                // Between two of this process's batches of deletions, which another writer
                // waits for.
                platform::commitWriteBatch();
                ASSERT_EQ(0, RunInChildProcess(
                                 [ahead] { return DeleteUrlCacheEntry(ahead.c_str()) ? 0 : 1; }));
                gone.insert(ahead);
            }
            EXPECT_TRUE(DeleteUrlCacheEntry(url.c_str()));
            gone.insert(url);
        }
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    FindCloseUrlCache(find);
    std::set<std::string> handedOut(seen.begin(), seen.end());
    EXPECT_EQ(handedOut.size(), seen.size());
    for (const std::string& url : urls)
        EXPECT_TRUE(handedOut.count(url) || gone.count(url)) << url << " was skipped";
}

// Two walks at once: the one in front deletes what it is handed, and the one behind, reading
// ahead as it goes, never hands out an entry the first has deleted, whose file is gone.
TEST_F(WininetTest, AWalkBehindAnotherNeverHandsOutWhatTheOtherDeleted) {
    std::vector<std::string> urls;
    for (int i = 0; i < 24; ++i) {
        urls.push_back("http://pair.example/" + std::to_string(100 + i) + ".htm");
        addContent(urls.back());
    }
    std::vector<char> frontBuffer(4096);
    std::vector<char> backBuffer(4096);
    auto* front = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(frontBuffer.data());
    auto* back = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(backBuffer.data());
    DWORD size = static_cast<DWORD>(frontBuffer.size());
    HANDLE ahead =
        FindFirstUrlCacheEntryExA("", 0, kAll, 0, front, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(ahead, nullptr);
    size = static_cast<DWORD>(backBuffer.size());
    HANDLE behind =
        FindFirstUrlCacheEntryExA("", 0, kAll, 0, back, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(behind, nullptr);
    EXPECT_EQ(std::string(front->lpszSourceUrlName), back->lpszSourceUrlName);
    std::set<std::string> deleted;
    std::vector<std::string> handedOutBehind;
    bool frontGoes = true;
    do {
        // The front walk deletes two entries for each one the walk behind takes.
        for (int i = 0; i < 2 && frontGoes; ++i) {
            const std::string url = front->lpszSourceUrlName;
            ASSERT_TRUE(DeleteUrlCacheEntry(url.c_str())) << url;
            deleted.insert(url);
            size = static_cast<DWORD>(frontBuffer.size());
            frontGoes = FindNextUrlCacheEntryExA(ahead, front, &size, nullptr, nullptr, nullptr);
        }
        size = static_cast<DWORD>(backBuffer.size());
        if (!FindNextUrlCacheEntryExA(behind, back, &size, nullptr, nullptr, nullptr)) break;
        const std::string url = back->lpszSourceUrlName;
        EXPECT_EQ(0u, deleted.count(url))
            << url << " was handed out after the other walk deleted it";
        EXPECT_TRUE(FileExistsA(back->lpszLocalFileName)) << url;
        handedOutBehind.push_back(url);
    } while (true);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(FindCloseUrlCache(ahead));
    EXPECT_TRUE(FindCloseUrlCache(behind));
    EXPECT_EQ(urls.size(), deleted.size());
    EXPECT_FALSE(handedOutBehind.empty());
    EXPECT_TRUE(walk("", kAll).empty());
}

// An entry that names its file in another case than the disk does (as Windows allows) still
// takes its file along; a read-only file too, and a folder in the file's place keeps the entry.
TEST_F(WininetTest, DeletionFindsTheFileWhateverTheCaseAndWhateverItsAttributes) {
    const std::string file = addContent("http://case.example/Seite.htm", "<html/>");
    const std::string folder = file.substr(0, file.find_last_of('\\'));
    const std::string upper =
        "C:\\USERS\\user" + folder.substr(std::string("C:\\Users\\User").size()) + "\\SEITE[1].HTM";
    std::optional<platform::urlcache::Record> found =
        platform::urlcache::get("http://case.example/Seite.htm");
    ASSERT_TRUE(found);
    platform::urlcache::Record r = std::move(*found);
    r.localFile = upper;
    platform::urlcache::put(r);
    ASSERT_TRUE(FileExistsA(upper));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    SetLastError(kJunk);
    EXPECT_TRUE(DeleteUrlCacheEntry("http://case.example/Seite.htm"));
    EXPECT_EQ(kJunk, GetLastError());
    EXPECT_FALSE(FileExistsA(file));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));

    const std::string other = addContent("http://case.example/Ordner.htm", "<html/>");
    ASSERT_TRUE(DeleteFileA(other.c_str()));
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    SetLastError(kJunk);
    EXPECT_FALSE(DeleteUrlCacheEntry("http://case.example/Ordner.htm"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ(1u, walk("", kAll).size());
}

// A walk that deletes as it goes writes its deletions in batches: another process sees them
// while the walk goes on, every one at once when this process writes anything else, and all
// of them when the walk closes or the root does; a deletion that fails takes none back.
TEST_F(WininetTest, AWalksDeletionsReachOtherProcessesInBatchesAndAreNeverLost) {
    const int total = platform::kBatchedWrites + 60;
    std::vector<std::string> urls;
    for (int i = 0; i < total; ++i) {
        urls.push_back("http://batch.example/" + std::to_string(i) + ".htm");
        addContent(urls.back());
    }
    // One entry is open in a browser, another's file has become a folder: both stay.
    ASSERT_TRUE(lockEntry(urls[3]));
    const std::string blocked = addContent("http://batch.example/folder.htm");
    ASSERT_TRUE(DeleteFileA(blocked.c_str()));
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    const auto othersSee = [](std::size_t atMost, std::size_t atLeast) {
        return RunInChildProcess([=] {
            const std::size_t seen = walk("", kAll).size();
            return seen <= atMost && seen >= atLeast ? 0 : 1;
        });
    };

    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryExA("", 0, kAll, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    std::size_t deleted = 0;
    std::size_t handedOut = 0;
    do {
        ++handedOut;
        if (DeleteUrlCacheEntry(info->lpszSourceUrlName)) ++deleted;
        if (handedOut == platform::kBatchedWrites + 20) {
            // More than a batch has gone by: the other process sees most of it.
            EXPECT_EQ(0, othersSee(total + 1 - (platform::kBatchedWrites - 2), 0));
            // A write of another kind makes every deletion so far visible.
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS,
                      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Batch", 0, nullptr, 0,
                                      KEY_WRITE, nullptr, &key, nullptr));
            RegCloseKey(key);
            EXPECT_EQ(0, othersSee(total + 1 - deleted, total + 1 - deleted));
        }
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<std::size_t>(total) + 1, handedOut);
    EXPECT_EQ(static_cast<std::size_t>(total) - 1, deleted);
    ASSERT_TRUE(FindCloseUrlCache(find));
    EXPECT_EQ(0, othersSee(2, 2));

    // A walk left open when the root closes keeps what it deleted.
    ASSERT_TRUE(UnlockUrlCacheEntryFileA(urls[3].c_str(), 0));
    addContent("http://batch.example/late.htm");
    size = static_cast<DWORD>(buffer.size());
    find = FindFirstUrlCacheEntryExA("http://batch.example/late", 0, kAll, 0, info, &size, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(DeleteUrlCacheEntry(info->lpszSourceUrlName));
    platform::closeRoot();
    EXPECT_EQ((std::vector<std::string>{"http://batch.example/folder.htm"}), walk("", kAll));
    EXPECT_TRUE(FindCloseUrlCache(find));
    EXPECT_EQ(0, othersSee(1, 1));
}

// A walk's deletion hands the entry's file to a second thread and gathers the row once the
// file is gone: the row counts as gone at once, a file gone already is no reason to keep it,
// and one that cannot be unlinked (a folder here) keeps its entry, for this process and others.
TEST_F(WininetTest, ARowWaitsForItsFileAndStaysWhenTheFileCannotGo) {
    const std::string stays = addContent("http://queue.example/a.htm");
    const std::string gone = addContent("http://queue.example/b.htm");
    const std::string missing = addContent("http://queue.example/c.htm");
    const std::string folder = addContent("http://queue.example/d.htm");
    ASSERT_TRUE(DeleteFileA(missing.c_str()));
    ASSERT_TRUE(DeleteFileA(folder.c_str()));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::map<std::string, std::int64_t> ids;
    for (const auto& r : platform::urlcache::list(platform::urlcache::Container::All))
        ids[r.localFile] = r.id;
    {
        platform::WriteBatch batch;
        const platform::ChangeStamp before = platform::changeStamp();
        for (const std::string& file : {gone, missing, folder}) {
            platform::Transaction tx(platform::Transaction::Batchable);
            ASSERT_TRUE(tx.batched());
            platform::ParentFolder parent =
                platform::openParentNoFollow(platform::HostPath(platform.hostPath(file)));
            ASSERT_TRUE(parent.folder.valid()) << file;
            platform::deleteCacheRowAndFileInBatch(
                ids.at(file), std::make_shared<const platform::UniqueFd>(std::move(parent.folder)),
                parent.name);
            tx.commit();
        }
        EXPECT_EQ(before.own + 3, platform::changeStamp().own);
    }
    const std::vector<std::string> left = {"http://queue.example/a.htm",
                                           "http://queue.example/d.htm"};
    EXPECT_EQ(left, walk("", kAll));
    EXPECT_TRUE(FileExistsA(stays));
    EXPECT_FALSE(FileExistsA(gone));
    EXPECT_TRUE(DirectoryExistsA(folder));
    EXPECT_EQ(0, RunInChildProcess([&left] { return walk("", kAll) == left ? 0 : 1; }));
}

// A walk that deletes what it has just handed out meets the machine as it is at the deletion,
// not as the walk read it: an entry locked since (by this process or another) stays with its
// file; a file made read-only since goes all the same; a folder removed and made anew since
// the walk's last deletion there loses the file in it.
TEST_F(WininetTest, AWalksDeletionSeesWhatChangedSinceTheWalkReadTheEntry) {
    std::vector<std::string> urls;
    std::vector<std::string> files;
    for (int i = 0; i < 16; ++i) {
        urls.push_back("http://since.example/" + std::to_string(10 + i) + ".htm");
        files.push_back(addContent(urls.back()));
    }
    // The first entry's folder is made anew just before its second entry goes, within the
    // same batch of deletions as the first; the entries changed otherwise come later, in the
    // other folders.
    const std::string folder = files[0].substr(0, files[0].find_last_of('\\'));
    std::size_t remade = 0;
    std::vector<std::size_t> elsewhere;
    for (std::size_t i = 1; i < files.size(); ++i) {
        const bool inFolder = files[i].compare(0, folder.size() + 1, folder + "\\") == 0;
        if (inFolder && remade == 0)
            remade = i;
        else if (!inFolder && remade != 0)
            elsewhere.push_back(i);
    }
    ASSERT_GT(remade, 0u);
    ASSERT_GE(elsewhere.size(), 3u);
    const std::size_t lockedHere = elsewhere[0], lockedElsewhere = elsewhere[1],
                      madeReadOnly = elsewhere[2];

    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryExA("", 0, kAll, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(find, nullptr);
    std::size_t handedOut = 0;
    do {
        const std::string url = info->lpszSourceUrlName;
        const std::size_t i = static_cast<std::size_t>(std::stoi(url.substr(21))) - 10;
        SCOPED_TRACE(url);
        ++handedOut;
        if (i == lockedHere) {
            ASSERT_TRUE(lockEntry(url));
        } else if (i == lockedElsewhere) {
            platform::commitWriteBatch();
            ASSERT_EQ(0, RunInChildProcess([url] { return lockEntry(url) ? 0 : 1; }));
        } else if (i == madeReadOnly) {
            ASSERT_TRUE(SetFileAttributesA(files[i].c_str(), FILE_ATTRIBUTE_READONLY));
        } else if (i == remade) {
            // Behind the platform's back, as another program would: the folder goes with
            // everything in it and comes back holding only this file.
            const std::string host = platform.hostPath(folder);
            fs::remove_all(host);
            fs::create_directory(host);
            writeHostFile(platform.hostPath(files[i]), "made anew");
        }
        SetLastError(kJunk);
        const BOOL deleted = DeleteUrlCacheEntry(url.c_str());
        if (i == lockedHere || i == lockedElsewhere) {
            EXPECT_FALSE(deleted);
            EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
            EXPECT_TRUE(FileExistsA(files[i]));
        } else {
            EXPECT_TRUE(deleted);
            EXPECT_EQ(kJunk, GetLastError());
            EXPECT_FALSE(FileExistsA(files[i]));
        }
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    ASSERT_TRUE(FindCloseUrlCache(find));
    EXPECT_EQ(urls.size(), handedOut);
    EXPECT_EQ((std::vector<std::string>{urls[lockedHere], urls[lockedElsewhere]}), walk("", kAll));
}

TEST_F(WininetTest, ALockedEntryGoesWhenItsLastLockIsReleased) {
    const std::string file = addContent("http://del.example/a.gif", "GIF89a");
    const std::string locked = addContent("http://del.example/b.jpg", "jpeg");
    // Two readers have the file open.
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    ASSERT_TRUE(RetrieveUrlCacheEntryFileA("http://del.example/b.jpg", info, &size, 0));
    EXPECT_STREQ(info->lpszLocalFileName, locked.c_str());
    ASSERT_TRUE(platform::urlcache::lock("http://del.example/b.jpg"));

    SetLastError(kJunk);
    EXPECT_FALSE(DeleteUrlCacheEntry("http://del.example/b.jpg"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(FileExistsA(locked));
    EXPECT_EQ(walk("", kAll).size(), 2u);

    EXPECT_TRUE(UnlockUrlCacheEntryFileA("http://del.example/b.jpg", 0));
    EXPECT_TRUE(FileExistsA(locked)); // one lock is still held
    EXPECT_TRUE(UnlockUrlCacheEntryFileA("http://del.example/b.jpg", 0));
    EXPECT_FALSE(FileExistsA(locked));
    EXPECT_EQ(walk("", kAll), (std::vector<std::string>{"http://del.example/a.gif"}));
    SetLastError(kJunk);
    EXPECT_FALSE(UnlockUrlCacheEntryFileA("http://del.example/b.jpg", 0));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // The cache owns its files: a read-only one goes with its entry.
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(DeleteUrlCacheEntry("http://del.example/a.gif"));
    EXPECT_FALSE(FileExistsA(file));
    EXPECT_TRUE(walk("", kAll).empty());
}

TEST_F(WininetTest, DeletionNeverFollowsALinkInsideTheCacheFolder) {
    // A folder link inside the cache folder leads outside the platform root to a canary.
    const std::string outside = platform.programFolder() + "/outside";
    testing_support::writeHostFile(outside + "/canary.htm", "alive");
    const std::string cache = platform::urlcache::cacheFolder();
    std::filesystem::create_directory_symlink(outside, platform.hostPath(cache) + "/linked");
    const std::string viaLink = cache + "\\linked\\canary.htm";
    ASSERT_TRUE(CommitUrlCacheEntryA("http://evil.example/canary.htm", viaLink.c_str(), fileTime(0),
                                     fileTime(0), NORMAL_CACHE_ENTRY, nullptr, 0, "htm", nullptr));
    EXPECT_TRUE(DeleteUrlCacheEntry("http://evil.example/canary.htm"));
    EXPECT_TRUE(walk("", kAll).empty());
    EXPECT_EQ("alive", testing_support::readHostFile(outside + "/canary.htm"));
}

TEST_F(WininetTest, DeletionLeavesFilesOutsideTheCacheAlone) {
    const std::string document = "C:\\Users\\User\\Documents\\letter.txt";
    ASSERT_TRUE(WriteWholeFile(document, "Dear ..."));
    ASSERT_TRUE(CommitUrlCacheEntryA("http://odd.example/letter.txt", document.c_str(), fileTime(0),
                                     fileTime(0), NORMAL_CACHE_ENTRY, nullptr, 0, "txt", nullptr));
    EXPECT_TRUE(DeleteUrlCacheEntry("http://odd.example/letter.txt"));
    EXPECT_TRUE(FileExistsA(document));
    EXPECT_TRUE(walk(nullptr, kAll).empty());

    // Nor does an entry whose file begins with the cache folder's spelling and climbs out of it.
    const std::string cache = platform::urlcache::cacheFolder();
    const std::string beside = cache.substr(0, cache.find_last_of('\\')) + "\\beside.txt";
    ASSERT_TRUE(WriteWholeFile(beside, "mine"));
    platform::urlcache::Record climbing;
    climbing.url = "http://odd.example/climbing.txt";
    climbing.type = NORMAL_CACHE_ENTRY;
    climbing.localFile = cache + "\\..\\beside.txt";
    platform::urlcache::put(climbing);
    EXPECT_TRUE(DeleteUrlCacheEntry("http://odd.example/climbing.txt"));
    EXPECT_TRUE(FileExistsA(beside));
}

TEST_F(WininetTest, CommitReplacesAnEntryInPlaceAndRefusesMissingFilesAndLockedEntries) {
    addContent("http://c.example/1.htm");
    addContent("http://c.example/2.htm");
    const std::string file = platform::urlcache::storeContentFile("http://c.example/1.htm", "new!");
    ASSERT_TRUE(CommitUrlCacheEntryA("http://c.example/1.htm", file.c_str(), fileTime(0),
                                     fileTime(0), NORMAL_CACHE_ENTRY, nullptr, 0, "htm", nullptr));
    EXPECT_EQ(walk("", kAll),
              (std::vector<std::string>{"http://c.example/1.htm", "http://c.example/2.htm"}));
    const std::optional<platform::urlcache::Record> record =
        platform::urlcache::get("http://c.example/1.htm");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size, 4u);

    SetLastError(kJunk);
    EXPECT_FALSE(CommitUrlCacheEntryA("http://c.example/3.htm", "C:\\nothing\\here.htm",
                                      fileTime(0), fileTime(0), NORMAL_CACHE_ENTRY, nullptr, 0,
                                      nullptr, nullptr));
    EXPECT_NE(GetLastError(), kJunk);

    platform::urlcache::lock("http://c.example/2.htm");
    SetLastError(kJunk);
    EXPECT_FALSE(CommitUrlCacheEntryA("http://c.example/2.htm", nullptr, fileTime(0), fileTime(0),
                                      NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
}

TEST_F(WininetTest, SizesBeyondFourGigabytesKeepTheirHighPart) {
    addContent("http://big.example/image.iso");
    ASSERT_TRUE(platform::urlcache::setSize("http://big.example/image.iso", 5000000000ull));
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    ASSERT_TRUE(GetUrlCacheEntryInfoExA("http://big.example/image.iso", info, &size, nullptr,
                                        nullptr, nullptr, 0));
    EXPECT_EQ(info->dwSizeLow, 705032704u);
    EXPECT_EQ(info->dwSizeHigh, 1u);
}

TEST_F(WininetTest, LibraryIsFoundOnlyWhilePresentWithAllCheckedNames) {
    HMODULE library = LoadLibraryA("wininet.dll");
    ASSERT_NE(library, nullptr);
    for (const char* name :
         {"FindFirstUrlCacheGroup", "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
          "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA"})
        EXPECT_NE(GetProcAddress(library, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(library, "FindFirstUrlCacheEntryExW"), nullptr);

    platform::setSetting("wininet", "no");
    SetLastError(kJunk);
    EXPECT_EQ(LoadLibraryA("wininet.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(WininetTest, GroupsAreAbsent) {
    GROUPID group = 0;
    EXPECT_EQ(FindFirstUrlCacheGroup(0, 0, nullptr, 0, &group, nullptr), nullptr);
    INTERNET_CACHE_GROUP_INFOA info{};
    DWORD size = sizeof info;
    EXPECT_FALSE(GetUrlCacheGroupAttributeA(1, 0, 0, &info, &size, nullptr));
    addContent("http://g.example/");
    DWORD needed = 0;
    EXPECT_EQ(
        FindFirstUrlCacheEntryExA(nullptr, 0, kAll, 7, nullptr, &needed, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
}

TEST_F(WininetTest, CacheFilesLandInTheCacheAndCookieFolders) {
    const std::string page = addContent("http://f.example/dir/news.html?x=1");
    EXPECT_TRUE(page.starts_with("C:\\Users\\User\\AppData\\Local\\Microsoft\\Windows\\"
                                 "Temporary Internet Files\\Content.IE5\\"));
    EXPECT_TRUE(page.ends_with("\\news[1].html"));
    const std::string again =
        platform::urlcache::storeContentFile("http://f.example/news.html", "");
    EXPECT_NE(again, page);
    const std::string cookie = platform::urlcache::storeCookieFile("user", "f.example", "x");
    EXPECT_EQ(cookie, "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Cookies\\"
                      "user@f.example[1].txt");
}
