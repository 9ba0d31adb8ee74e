// TUrlHistory over the hosted history service: listing, filtering, sorting, deleting.
#include "support/platform_fixture.h"

#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "traces/UrlHistory.h"

#include <string>
#include <vector>

namespace {

class UrlHistoryTest : public testing_support::PlatformTest {
  protected:
    UrlHistoryTest() { history.Loaded(); }

    std::vector<std::string> urls() const {
        std::vector<std::string> result;
        for (int i = 0; i < history.Count(); ++i)
            result.push_back(history.Items(i)->Url);
        return result;
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (int i = 0; i < history.Count(); ++i)
            result.push_back(history.Items(i)->Title);
        return result;
    }
    void add(const std::string& url, const std::string& title) {
        history.AddUrl(AnsiToWide(url), AnsiToWide(title));
    }

    TUrlHistory history;
};

std::size_t storedVisits() {
    return platform::urlcache::list(platform::urlcache::Container::History).size();
}

} // namespace

TEST_F(UrlHistoryTest, EmptyStoreListsNothing) {
    EXPECT_EQ(history.Refresh(), 0);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_THROW(history.Items(0), std::out_of_range);
}

TEST_F(UrlHistoryTest, RefreshListsVisitsSortedByTitleAndNeverTwice) {
    add("http://b.example/", "Beta");
    add("http://a.example/", "Alpha");
    add("http://c.example/", "");
    add("http://d.example/", "alpha");
    EXPECT_EQ(history.Refresh(), 4);
    EXPECT_EQ(titles(), (std::vector<std::string>{"", "Alpha", "Beta", "alpha"}));
    EXPECT_EQ(history.Refresh(), 4);
    EXPECT_EQ(urls(), (std::vector<std::string>{"http://c.example/", "http://a.example/",
                                                "http://b.example/", "http://d.example/"}));
    history.SortField = sfURL;
    history.SortDirection = sdDescending;
    history.Refresh();
    EXPECT_EQ(urls(), (std::vector<std::string>{"http://d.example/", "http://c.example/",
                                                "http://b.example/", "http://a.example/"}));
}

TEST_F(UrlHistoryTest, VisitsAreStampedWithThePlatformClock) {
    // Thirty days behind the host, as after SetSystemTime.
    platform::setSetting("clock-offset", std::to_string(-30 * 86400));
    add("http://clock.example/", "Clock");
    ASSERT_EQ(history.Refresh(), 1);
    const TEntry* entry = history.Items(0);
    const double expected = Now();
    EXPECT_NEAR(entry->LastVisited, expected, 1.0 / 86400 * 5);
    EXPECT_NEAR(entry->LastUpdated, expected, 1.0 / 86400 * 5);
    EXPECT_GT(entry->Expires, entry->LastVisited);
    platform::setSetting("clock-offset", "0");
    EXPECT_NEAR(Now() - entry->LastVisited, 30.0, 0.01);
}

TEST_F(UrlHistoryTest, TimesOutsideTheDosRangeReadAsZero) {
    const FILETIME zero{0, 0};
    ASSERT_TRUE(CommitUrlCacheEntryA("Visited: User@http://zero.example/", nullptr, zero, zero,
                                     NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY, nullptr, 0,
                                     nullptr, nullptr));
    ASSERT_EQ(history.Refresh(), 1);
    EXPECT_EQ(history.Items(0)->Url, "http://zero.example/");
    EXPECT_EQ(history.Items(0)->Title, "");
    EXPECT_EQ(history.Items(0)->Expires, 0.0);
    EXPECT_EQ(history.Items(0)->LastUpdated, 0.0);
}

TEST_F(UrlHistoryTest, OtherUsersVisitsAndOtherEntriesStayOutOfTheList) {
    const FILETIME zero{0, 0};
    ASSERT_TRUE(CommitUrlCacheEntryA("Visited: Someone@http://theirs.example/", nullptr, zero, zero,
                                     URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    ASSERT_TRUE(CommitUrlCacheEntryA("http://content.example/", nullptr, zero, zero,
                                     NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    add("http://mine.example/", "Mine");
    EXPECT_EQ(history.Refresh(), 1);
    history.ClearHistory();
    EXPECT_EQ(history.Refresh(), 0);
    // Clearing the history leaves the cache and the other user's visits.
    EXPECT_EQ(storedVisits(), 1u);
    EXPECT_EQ(platform::urlcache::list(platform::urlcache::Container::Content).size(), 1u);
}

TEST_F(UrlHistoryTest, SearchFiltersByTitleAddressOrBoth) {
    add("http://news.example/sport", "Sport news");
    add("http://news.example/weather", "Weather");
    add("http://shop.example/", "news of the shop");
    history.Search = "news";
    history.SearchField = seBoth;
    EXPECT_EQ(history.Refresh(), 1);
    EXPECT_EQ(urls(), (std::vector<std::string>{"http://news.example/sport"}));
    history.SearchField = seTitle;
    EXPECT_EQ(history.Refresh(), 2);
    history.SearchField = seURL;
    EXPECT_EQ(history.Refresh(), 2);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Sport news", "Weather"}));
    history.Search = "News";
    history.SearchField = seTitle;
    EXPECT_EQ(history.Refresh(), 0);
}

TEST_F(UrlHistoryTest, AcceptHandlerDecidesWhatIsListed) {
    add("http://1.example/", "One");
    add("http://2.example/", "Two");
    std::vector<std::string> offered;
    history.OnAccept = [&offered](const std::string& title, const std::string&, double, double,
                                  double, bool& accept) {
        offered.push_back(title);
        accept = false;
    };
    EXPECT_EQ(history.Refresh(), 0);
    EXPECT_EQ(offered.size(), 2u);
    history.OnAccept = [](const std::string& title, const std::string&, double, double, double,
                          bool& accept) { accept = title == "Two"; };
    EXPECT_EQ(history.Refresh(), 1);
    EXPECT_EQ(history.Items(0)->Url, "http://2.example/");
}

TEST_F(UrlHistoryTest, DeleteEntriesRemovesWhatTheHandlerApproves) {
    for (int i = 0; i < 6; ++i)
        add("http://del" + std::to_string(i) + ".example/", "Page " + std::to_string(i));
    history.Refresh();
    EXPECT_EQ(history.DeleteEntries(), 0);
    EXPECT_EQ(storedVisits(), 6u);

    history.OnDelete = [](const std::string& title, const std::string&, double, double, double,
                          bool& remove) { remove = title == "Page 2" || title == "Page 3"; };
    EXPECT_EQ(history.DeleteEntries(), 2);
    EXPECT_EQ(storedVisits(), 4u);
    // The list stays as the last Refresh left it.
    EXPECT_EQ(history.Count(), 6);

    history.OnDelete = [](const std::string&, const std::string&, double, double, double,
                          bool& remove) { remove = true; };
    EXPECT_EQ(history.DeleteEntries(), 4);
    EXPECT_EQ(storedVisits(), 0u);
    EXPECT_EQ(history.Refresh(), 0);
}

TEST_F(UrlHistoryTest, DeleteUrlRemovesOneVisit) {
    add("http://keep.example/", "Keep");
    add("http://drop.example/", "Drop");
    history.DeleteUrl(u"http://drop.example/");
    history.DeleteUrl(u"http://never.example/");
    EXPECT_EQ(history.Refresh(), 1);
    EXPECT_EQ(history.Items(0)->Url, "http://keep.example/");
}

TEST_F(UrlHistoryTest, SortingManyEqualKeysStaysWithinTheList) {
    for (int i = 0; i < 200; ++i)
        add("http://same" + std::to_string(i) + ".example/", i % 3 ? "Same" : "Other");
    for (auto direction : {sdAscending, sdDescending}) {
        for (auto field : {sfTitle, sfURL, sfLastVisited, sfLastUpdated, sfExpires}) {
            history.SortField = field;
            history.SortDirection = direction;
            ASSERT_EQ(history.Refresh(), 200);
            for (int i = 1; i < history.Count(); ++i) {
                SCOPED_TRACE(i);
                const TEntry* a = history.Items(i - 1);
                const TEntry* b = history.Items(i);
                if (field == sfTitle) {
                    EXPECT_TRUE(direction == sdAscending ? a->Title <= b->Title
                                                         : a->Title >= b->Title);
                }
                if (field == sfLastVisited) {
                    EXPECT_TRUE(direction == sdAscending ? a->LastVisited <= b->LastVisited
                                                         : a->LastVisited >= b->LastVisited);
                }
            }
        }
    }
}

TEST(UrlHistoryLoad, MissingHistoryObjectFailsLoaded) {
    testing_support::TempPlatform platform;
    ::platform::registerComClass(CLSID_CUrlHistory, [](REFIID, void** object) -> HRESULT {
        *object = nullptr;
        return REGDB_E_CLASSNOTREG;
    });
    TUrlHistory history;
    EXPECT_THROW(history.Loaded(), EOleSysError);
    EXPECT_EQ(history.Refresh(), 0);
    ::platform::registerComClass(CLSID_CUrlHistory, ::platform::createUrlHistory);
    TUrlHistory working;
    EXPECT_NO_THROW(working.Loaded());
}

TEST(UrlHistoryCom, ObjectOffersItsInterfacesAndEnumeratorHandsOutTaskMemory) {
    testing_support::TempPlatform platform;
    IUnknown* unknown = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER, IID_IEnumSTATURL,
                               reinterpret_cast<void**>(&unknown)),
              E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
    IUrlHistoryStg2* store = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IUrlHistoryStg2, reinterpret_cast<void**>(&store)),
              S_OK);
    EXPECT_EQ(store->AddUrl(u"http://\u00e4.example/", u"Gr\u00fc\u00dfe", 0), S_OK);
    EXPECT_EQ(store->AddUrl(u"http://b.example/", nullptr, 0), S_OK);
    IEnumSTATURL* enumerator = nullptr;
    ASSERT_EQ(store->EnumUrls(&enumerator), S_OK);
    STATURL stats[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(enumerator->Next(3, stats, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(std::u16string(stats[0].pwcsUrl), u"http://\u00e4.example/");
    EXPECT_EQ(std::u16string(stats[0].pwcsTitle), u"Gr\u00fc\u00dfe");
    EXPECT_EQ(stats[1].pwcsTitle, nullptr);
    for (ULONG i = 0; i < fetched; ++i) {
        CoTaskMemFree(stats[i].pwcsUrl);
        CoTaskMemFree(stats[i].pwcsTitle);
    }
    EXPECT_EQ(store->DeleteUrl(u"http://nothing.example/", 0),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    enumerator->Release();
    store->Release();
}
