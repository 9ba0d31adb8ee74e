#include "cache/u_cookieForm.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <gtest/gtest.h>

namespace {

using testing_support::PlatformTest;

class FormatCacheTimeFormatsTest : public PlatformTest {
  protected:
    static double at(int year, int month, int day, int hour, int minute, int second) {
        double t = 0;
        EXPECT_TRUE(TryEncodeDateTime(year, month, day, hour, minute, second, 0, t));
        return t;
    }
};

TEST_F(FormatCacheTimeFormatsTest, FindsTheTimePartByTheLocaleFormatsNotByABlank) {
    platform::setSetting("short-date", "dd. MM. yyyy");
    EXPECT_EQ("27. 05. 2001", FormatCacheTime(at(2001, 5, 27, 0, 0, 0))); // midnight: date only
    EXPECT_EQ("26. 05. 2001 17:34", FormatCacheTime(at(2001, 5, 26, 17, 34, 46)));
    EXPECT_EQ("26. 05. 2001 00:00", FormatCacheTime(at(2001, 5, 26, 0, 0, 1)));

    platform::setSetting("long-time", "H:mm:ss");
    EXPECT_EQ("01. 02. 2004", FormatCacheTime(at(2004, 2, 1, 0, 0, 0)));
    EXPECT_EQ("01. 02. 2004 9:05", FormatCacheTime(at(2004, 2, 1, 9, 5, 7)));

    platform::setSetting("short-date", "yyyy-MM-dd");
    EXPECT_EQ("2004-02-01", FormatCacheTime(at(2004, 2, 1, 0, 0, 0)));
    EXPECT_EQ("2004-02-01 23:59", FormatCacheTime(at(2004, 2, 1, 23, 59, 59)));
}

} // namespace
