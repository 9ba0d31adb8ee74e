// Section captions that wrap to fit the navigation bar.
#include "controls/stdctrls.h"
#include "support/application.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

TEST(WrapToWidthTest, LongCaptionsBreakOnceAtABlankOrAfterAHyphen) {
    testing_support::EnsureApplication();
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(QStringLiteral("short"), WrapToWidth(QStringLiteral("short"), metrics, 200));
    EXPECT_EQ(QStringLiteral("Clean browser\ncache"),
              WrapToWidth(QStringLiteral("Clean browser cache"), metrics,
                          metrics.horizontalAdvance(QStringLiteral("Clean browser"))));
    EXPECT_EQ(QStringLiteral("IE-Power-\nEinstellungen"),
              WrapToWidth(QStringLiteral("IE-Power-Einstellungen"), metrics, 10));
    EXPECT_EQ(QStringLiteral("Unbreakable"),
              WrapToWidth(QStringLiteral("Unbreakable"), metrics, 5));
}
