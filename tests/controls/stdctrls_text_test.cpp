#include "controls/stdctrls.h"
#include "support/application.h"

#include <QFontInfo>
#include <QTextBlock>
#include <QTextDocument>

namespace {

class TMemoTest : public testing_support::QtTest {};

TEST_F(TMemoTest, OnlyALineFeedBreaksALineAndACarriageReturnStaysInIt) {
    TMemo memo(nullptr);
    memo.resize(400, 200);
    memo.Add("first\rstill the first");
    memo.Add("second\nshown below it");
    memo.Add("");
    EXPECT_EQ((QStringList{"first\rstill the first", "second\nshown below it", ""}), memo.Lines());
    // On screen: the CR shows as nothing, the LF starts a new line.
    ASSERT_EQ(4, memo.document()->blockCount());
    EXPECT_EQ(QStringLiteral("firststill the first"), memo.document()->findBlockByNumber(0).text());
    EXPECT_EQ(QStringLiteral("second"), memo.document()->findBlockByNumber(1).text());
    EXPECT_EQ(QStringLiteral("shown below it"), memo.document()->findBlockByNumber(2).text());
    EXPECT_EQ(QString(), memo.document()->findBlockByNumber(3).text());

    memo.Clear();
    EXPECT_TRUE(memo.Lines().isEmpty());
    memo.Add("");
    EXPECT_EQ(QStringList{QString()}, memo.Lines()); // one empty line is not an empty memo
    memo.Add("\r\n");
    EXPECT_EQ((QStringList{QString(), QStringLiteral("\r\n")}), memo.Lines());
}

TEST(GrownFontTest, GrowsFontsSetInPixelsAndInPoints) {
    testing_support::EnsureApplication();
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(11);
    const QFont grownPixels = GrownFont(pixels, 4);
    EXPECT_EQ(16, grownPixels.pixelSize()); // 4 points are about 5 pixels
    EXPECT_GT(QFontInfo(grownPixels).pixelSize(), QFontInfo(pixels).pixelSize());

    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSizeF(8.5);
    EXPECT_DOUBLE_EQ(12.5, GrownFont(points, 4).pointSizeF());

    QFont shrunk = GrownFont(pixels, -2);
    EXPECT_EQ(8, shrunk.pixelSize());
}

} // namespace
