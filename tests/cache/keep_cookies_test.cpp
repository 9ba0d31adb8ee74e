// The keep-list as the registry holds it: one dated value per site, names that are no host
// passed over and left alone, and which hosts and cookie entries a site covers.
#include "cache/KeepCookies.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "support/time_zone.h"

#include <map>
#include <utility>

namespace {

struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;
    bool operator==(const StoredValue&) const = default;
};

// Every value of the keep-list's key, by name as stored, read through the registry calls.
std::map<std::string, StoredValue> storedValues() {
    std::map<std::string, StoredValue> values;
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        BYTE data[512];
        DWORD dataSize = sizeof data;
        DWORD type = REG_NONE;
        if (RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values[std::string(name, nameSize)] = {
            type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    }
    return values;
}

void putValue(const std::string& name, DWORD type, const std::string& data) {
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
}

// Moves the machine's clock (UTC) as an administrator does.
void setClock(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    platform::setSetting("admin", "yes");
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    ASSERT_TRUE(SetSystemTime(&time));
}

StoredValue sz(const std::string& text) {
    return {REG_SZ, text + std::string(1, '\0')};
}

std::vector<std::pair<std::string, std::string>> sitesOf(const TKeepCookies& keep) {
    std::vector<std::pair<std::string, std::string>> sites;
    for (const TKeepCookies::Site& site : keep.Sites())
        sites.emplace_back(site.host, site.added);
    return sites;
}

// A host name of `length` characters made of parts of up to 63 letters.
std::string hostOfLength(std::size_t length) {
    std::string host;
    while (host.size() < length) {
        if (!host.empty()) host += '.';
        host += std::string(std::min<std::size_t>(63, length - host.size()), 'a');
    }
    return host;
}

class KeepCookiesTest : public testing_support::PlatformTest {};

} // namespace

// Adding writes the site under its lower-case name, dated with the local day; adding it again
// keeps the first date; names that are no host are refused and write nothing; removing takes
// the one value away whatever case it is asked in.
TEST_F(KeepCookiesTest, TheListIsOneValuePerSiteDatedWithTheLocalDay) {
    // Half past eleven at night in UTC is already the next day two hours east.
    const testing_support::ScopedTimeZone east("XYZ-2");
    setClock(2031, 12, 31, 23, 30);

    TKeepCookies keep = TKeepCookies::FromRegistry();
    EXPECT_TRUE(keep.Readable());
    EXPECT_TRUE(keep.Empty());
    // Reading never makes the key: a cleaning writes nothing.
    UniqueHKey probe;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, KEY_READ, probe.out()));

    EXPECT_EQ(ERROR_SUCCESS, keep.Add("Example.COM"));
    EXPECT_EQ(ERROR_SUCCESS, keep.Add(".login.example.org"));
    for (const std::string& bad : std::vector<std::string>{
             "", "two words.net", "a/b.net", "user@host.net", "a..b", "trailing.net.", ".",
             "tab\t.net", "\xE4rger.de", hostOfLength(254)})
        EXPECT_EQ(ERROR_INVALID_NAME, keep.Add(bad)) << bad;
    EXPECT_EQ(ERROR_SUCCESS, keep.Add(hostOfLength(253)));
    const std::map<std::string, StoredValue> first{{"example.com", sz("2032-01-01")},
                                                   {"login.example.org", sz("2032-01-01")},
                                                   {hostOfLength(253), sz("2032-01-01")}};
    EXPECT_EQ(first, storedValues());

    setClock(2032, 3, 4, 10, 0);
    EXPECT_EQ(ERROR_SUCCESS, keep.Add("EXAMPLE.com"));
    EXPECT_EQ(ERROR_SUCCESS, keep.Add("shop.example.com"));
    EXPECT_EQ(sz("2032-01-01"), storedValues()["example.com"]);
    EXPECT_EQ(sz("2032-03-04"), storedValues()["shop.example.com"]);

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, keep.Remove("www.example.com"));
    EXPECT_EQ(ERROR_SUCCESS, keep.Remove("Shop.Example.Com"));
    EXPECT_EQ(ERROR_SUCCESS, keep.Remove(hostOfLength(253)));
    const std::map<std::string, StoredValue> left{{"example.com", sz("2032-01-01")},
                                                  {"login.example.org", sz("2032-01-01")}};
    EXPECT_EQ(left, storedValues());

    // The list in memory and a fresh reading agree, in the order of the names.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"example.com", "2032-01-01"}, {"login.example.org", "2032-01-01"}};
    EXPECT_EQ(expected, sitesOf(keep));
    EXPECT_EQ(expected, sitesOf(TKeepCookies::FromRegistry()));
}

// A site covers itself and every name below it, in any case and with a cookie's leading
// dot; the cookie entries of the URL cache are judged by the host after the user name.
TEST_F(KeepCookiesTest, ASiteCoversItselfAndItsSubdomainsOnly) {
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("example.com"));
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("login.example.org"));

    for (const char* kept :
         {"example.com", "www.example.com", "login.example.com", "a.b.c.example.com", "EXAMPLE.Com",
          ".example.com", ".www.example.com", "login.example.org", "x.login.example.org"})
        EXPECT_TRUE(keep.Keeps(kept)) << kept;
    for (const char* notKept :
         {"badexample.com", "example.com.evil.net", "example.co", "com", "example.org",
          "www.example.org", "ogin.example.org", "", ".", "..example.com", "exa mple.com",
          "www.example.com/", "example.com."})
        EXPECT_FALSE(keep.Keeps(notKept)) << notKept;

    EXPECT_EQ(std::vector<std::string>{"example.com"}, keep.SitesCovering("www.example.com"));
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("www.example.com"));
    EXPECT_EQ((std::vector<std::string>{"example.com", "www.example.com"}),
              keep.SitesCovering("WWW.example.com"));

    EXPECT_EQ("www.example.com", CookieEntryHost("Cookie:user@WWW.Example.com/"));
    EXPECT_EQ("example.com", CookieEntryHost("cookie:jane@doe@example.com/shop/cart"));
    EXPECT_EQ("example.com", CookieEntryHost("Cookie:user@example.com"));
    EXPECT_EQ("", CookieEntryHost("Cookie:example.com/"));
    EXPECT_EQ("", CookieEntryHost("http://user@example.com/"));
    EXPECT_EQ("", CookieEntryHost("Visited: user@http://example.com/"));

    EXPECT_TRUE(KeepsCookieEntry(keep, "Cookie:user@example.com/"));
    EXPECT_TRUE(KeepsCookieEntry(keep, "Cookie:user@shop.example.com/basket/"));
    EXPECT_TRUE(KeepsCookieEntry(keep, "Cookie:user@x.login.example.org/"));
    EXPECT_FALSE(KeepsCookieEntry(keep, "Cookie:user@badexample.com/"));
    EXPECT_FALSE(KeepsCookieEntry(keep, "Cookie:user@example.org/"));
    EXPECT_FALSE(KeepsCookieEntry(keep, "Cookie:user@example.com:8080/"));
    EXPECT_FALSE(KeepsCookieEntry(keep, "http://www.example.com/"));
}

// Values that name no host were put there by another hand: they are no site, and they
// stay as they are when the list is read and edited. A plausible name in another case or
// with data that is no date still keeps its site.
TEST_F(KeepCookiesTest, ValuesThatNameNoHostArePassedOverAndLeftAlone) {
    putValue("", REG_SZ, std::string("default\0", 8));
    putValue("two words.com", REG_SZ, std::string("2030-01-01\0", 11));
    putValue("a/b.com", REG_SZ, std::string("2030-01-01\0", 11));
    putValue(hostOfLength(254), REG_SZ, std::string("2030-01-01\0", 11));
    putValue(".lead.com", REG_SZ, std::string("2030-01-01\0", 11));
    putValue("trail.com.", REG_SZ, std::string("2030-01-01\0", 11));
    putValue("Upper.Example.NET", REG_SZ, std::string("2030-02-03\0", 11));
    putValue("number.example", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    const std::map<std::string, StoredValue> before = storedValues();
    ASSERT_EQ(8u, before.size());

    TKeepCookies keep = TKeepCookies::FromRegistry();
    EXPECT_TRUE(keep.Readable());
    const std::vector<std::pair<std::string, std::string>> sites{
        {"number.example", ""}, {"upper.example.net", "2030-02-03"}};
    EXPECT_EQ(sites, sitesOf(keep));
    EXPECT_TRUE(keep.Keeps("www.upper.example.net"));
    EXPECT_FALSE(keep.Keeps("lead.com"));
    EXPECT_FALSE(keep.Keeps("words.com"));
    EXPECT_EQ(before, storedValues());

    // Taking a site off deletes its value as it was written; the others stay untouched.
    EXPECT_EQ(ERROR_SUCCESS, keep.Remove("upper.example.net"));
    std::map<std::string, StoredValue> after = before;
    after.erase("Upper.Example.NET");
    EXPECT_EQ(after, storedValues());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, keep.Remove(".lead.com"));
    EXPECT_EQ(after, storedValues());
}
