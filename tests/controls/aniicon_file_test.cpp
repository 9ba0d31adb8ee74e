#include "controls/aniicon.h"

#include "ani_bytes.h"
#include "support/application.h"

#include <QBuffer>
#include <QPainter>

using namespace ani_bytes;
using testing_support::QtTest;

namespace {

QRgb frameAt(const TAniIconFile& file, int slot) {
    return IconImage(file.FrameIcon(slot)).pixel(10, 10) & 0xFFFFFFu;
}

// Ticks until the current frame changes.
int ticksShown(TAniIconFile& file) {
    const int start = file.CurrentFrame();
    for (int ticks = 1; ticks < 1000; ++ticks) {
        file.Step();
        if (file.CurrentFrame() != start) return ticks;
    }
    return -1;
}

} // namespace

using AniReaderTest = QtTest;

TEST_F(AniReaderTest, DecodesWithAndWithoutTheInfoList) {
    for (bool info : {false, true}) {
        SCOPED_TRACE(info);
        Ani ani;
        ani.info = info;
        ani.title = "Odd title"; // 10 bytes with its end, a padded 9 would be odd
        ani.author = "Four";     // 5 bytes: padded to 6
        ani.displayRate = 7;
        ani.frames = solidFrames(3);
        TAniIconFile file;
        file.LoadFromData(ani.bytes());
        EXPECT_TRUE(file.Loaded());
        ASSERT_EQ(3, file.FrameCount());
        EXPECT_EQ(3u, file.Header().Frames);
        EXPECT_EQ(7u, file.Header().DisplayRate);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(frameColor(i) & 0xFFFFFFu, frameAt(file, i));
        }
        EXPECT_EQ(0, file.CurrentFrame());
    }
}

TEST_F(AniReaderTest, WithoutRateChunkEveryFrameHasTheDefaultRate) {
    Ani ani;
    ani.displayRate = 4;
    ani.frames = solidFrames(3);
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    ASSERT_EQ(3, file.FrameCount());
    for (int i = 0; i <= 80; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(4, file.Rate(i));
    }
    // Rate 4: three ticks per frame, in slot order, wrapping after the last.
    const int expected[] = {1, 2, 0, 1};
    for (int next : expected) {
        SCOPED_TRACE(next);
        EXPECT_EQ(3, ticksShown(file));
        EXPECT_EQ(next, file.CurrentFrame());
    }
}

TEST_F(AniReaderTest, RateChunkSetsHowLongEachFrameStays) {
    Ani ani;
    ani.hasRate = true;
    ani.rates = {9, 14, 0};
    ani.frames = solidFrames(3);
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    EXPECT_EQ(5, ticksShown(file)); // rate 9: 100 ms
    EXPECT_EQ(1, file.CurrentFrame());
    EXPECT_EQ(8, ticksShown(file)); // rate 14: 160 ms
    EXPECT_EQ(2, file.CurrentFrame());
    EXPECT_EQ(1, ticksShown(file));
    EXPECT_EQ(0, file.CurrentFrame());
}

TEST_F(AniReaderTest, ReadsAtMostSixtyFourFrames) {
    Ani ani;
    ani.frames = solidFrames(70);
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    EXPECT_EQ(70u, file.Header().Frames);
    EXPECT_EQ(64, file.FrameCount());
    EXPECT_EQ(frameColor(63) & 0xFFFFFFu, frameAt(file, 63));
    // From the last slot the animation wraps to the first.
    file.SelectFrame(63);
    file.Step(); // rate 6: stays
    for (int i = 0; i < 3; ++i)
        file.Step();
    EXPECT_EQ(0, file.CurrentFrame());
}

TEST_F(AniReaderTest, FrameChunkBelowTheSmallestIconEndsTheFrames) {
    const std::string small = iconFile({solidImage(qRgb(1, 1, 1))}).substr(0, 765);
    ASSERT_EQ(766u, iconFile({solidImage(qRgb(1, 1, 1))}).size());

    Ani later;
    later.frames = solidFrames(2);
    later.frames.push_back(small);
    later.frames.push_back(solidFrames(4)[3]);
    TAniIconFile file;
    file.LoadFromData(later.bytes());
    EXPECT_EQ(2, file.FrameCount());
    EXPECT_EQ(nullptr, file.FrameIcon(3));

    Ani first;
    first.frames = {small, solidFrames(1)[0]};
    TAniIconFile none;
    none.LoadFromData(first.bytes());
    EXPECT_EQ(0, none.FrameCount());
    for (int i = 0; i < 20; ++i)
        none.Step();
    EXPECT_EQ(0, none.CurrentFrame());
    QImage target(32, 32, QImage::Format_ARGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        none.Draw(painter, QRect(0, 0, 32, 32));
    }
    EXPECT_EQ(qRgb(255, 255, 255), target.pixel(16, 16));
}

TEST_F(AniReaderTest, TwoImageIconFileYieldsTheFirstImage) {
    Ani ani;
    ani.frames = {iconFile({solidImage(qRgb(250, 0, 0)), solidImage(qRgb(0, 250, 0))})};
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    ASSERT_EQ(1, file.FrameCount());
    EXPECT_EQ(qRgb(250, 0, 0) & 0xFFFFFFu, frameAt(file, 0));
}

TEST_F(AniReaderTest, FramesAfterAnUndecodableImageAreKeptButNotPlayed) {
    Ani ani;
    ani.frames = solidFrames(3);
    ani.frames[1][22 + 14] = 16; // a colour depth the icon reader refuses
    TAniIconFile file;
    const int before = LiveIconCount();
    file.LoadFromData(ani.bytes());
    EXPECT_EQ(1, file.FrameCount());
    EXPECT_NE(nullptr, file.FrameIcon(2));
    file.SelectFrame(2);
    EXPECT_EQ(2, file.CurrentFrame());
    file.SelectFrame(1);
    EXPECT_EQ(0, file.CurrentFrame());
    for (int i = 0; i < 4; ++i)
        file.Step();
    EXPECT_EQ(0, file.CurrentFrame());
    // Every icon goes back, also the one behind the gap.
    file.Assign(nullptr);
    EXPECT_EQ(before, LiveIconCount());
}

TEST_F(AniReaderTest, SelectFrameOutsideTheFramesSelectsTheFirst) {
    Ani ani;
    ani.frames = solidFrames(3);
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    file.SelectFrame(2);
    EXPECT_EQ(2, file.CurrentFrame());
    for (int index : {70, -1, 3, 64}) {
        SCOPED_TRACE(index);
        file.SelectFrame(2);
        file.SelectFrame(index);
        EXPECT_EQ(0, file.CurrentFrame()) << index;
    }
    // Selecting restarts the frame's time.
    file.SelectFrame(1);
    file.Step();
    file.Step();
    file.SelectFrame(1);
    EXPECT_EQ(4, ticksShown(file));
}

TEST_F(AniReaderTest, StreamingKeepsTheRawBytesAndNotifiesOnlyWhenReadAsStoredData) {
    Ani ani;
    ani.info = true;
    ani.frames = solidFrames(2);
    const std::string bytes = ani.bytes();
    TAniIconFile file;
    int notified = 0;
    file.OnFrameChange = [&] { ++notified; };
    QByteArray source(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    file.LoadFromStream(in);
    EXPECT_EQ(0, notified);
    EXPECT_EQ(2, file.FrameCount());
    file.ReadData(source);
    EXPECT_EQ(1, notified);

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    file.SaveToStream(out);
    EXPECT_EQ(source, saved);

    TAniIconFile copy;
    copy.Assign(&file);
    EXPECT_TRUE(copy.Loaded());
    EXPECT_EQ(bytes, copy.Data());
    EXPECT_EQ(2, copy.FrameCount());
    copy.Assign(nullptr);
    EXPECT_FALSE(copy.Loaded());
    EXPECT_TRUE(copy.Data().empty());
    EXPECT_EQ(0, copy.FrameCount());
}

TEST_F(AniReaderTest, FileWithoutFrameListLeavesTheFramesAsTheyWere) {
    Ani ani;
    ani.frames = solidFrames(2);
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    const std::string headerOnly = chunk("RIFF", "ACON" + chunk("anih", std::string(36, '\0')));
    file.LoadFromData(headerOnly);
    EXPECT_EQ(2, file.FrameCount());
    file.LoadFromData(std::string());
    EXPECT_EQ(2, file.FrameCount());
}

TEST_F(AniReaderTest, TruncatedFilesKeepTheFramesDecodedBeforeTheCut) {
    Ani ani;
    ani.info = true;
    ani.hasRate = true;
    ani.rates = {1, 2, 3, 4};
    ani.frames = solidFrames(4);
    const std::string whole = ani.bytes();
    const int before = LiveIconCount();
    int previous = 0;
    // Every length: the frame count only grows with the data and never exceeds the whole.
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE(length);
        TAniIconFile file;
        file.LoadFromData(whole.substr(0, length));
        const int frames = file.FrameCount();
        ASSERT_GE(frames, previous) << length;
        ASSERT_LE(frames, 4) << length;
        previous = frames;
        for (int i = 0; i < 3; ++i)
            file.Step();
        QImage target(32, 32, QImage::Format_ARGB32);
        QPainter painter(&target);
        file.Draw(painter, QRect(0, 0, 32, 32));
    }
    EXPECT_EQ(4, previous);
    EXPECT_EQ(before, LiveIconCount());

    TAniIconFile cut;
    cut.LoadFromData(whole.substr(0, whole.size() - 100));
    EXPECT_EQ(3, cut.FrameCount());
    EXPECT_EQ(frameColor(2) & 0xFFFFFFu, frameAt(cut, 2));
}

TEST_F(AniReaderTest, DataBeyondTheTableSizesIsCutAndSkipped) {
    // A title of 600 bytes, a rate chunk of 150 entries and an image of 5000 bytes.
    Ani ani;
    ani.info = true;
    ani.title = std::string(600, 'T');
    ani.hasRate = true;
    for (std::uint32_t i = 0; i < 150; ++i)
        ani.rates.push_back(i % 2 == 0 ? 2 : 4);
    ani.frames = solidFrames(3);
    ani.frames[1] += std::string(5000, '\0');
    TAniIconFile file;
    file.LoadFromData(ani.bytes());
    // The oversized frame keeps its first 4096 bytes, which hold its picture, and the reader
    // stays in step for the frame after it.
    ASSERT_EQ(3, file.FrameCount());
    EXPECT_EQ(frameColor(1) & 0xFFFFFFu, frameAt(file, 1));
    EXPECT_EQ(frameColor(2) & 0xFFFFFFu, frameAt(file, 2));
    EXPECT_EQ(2, file.Rate(0));
    EXPECT_EQ(4, file.Rate(127));
    EXPECT_EQ(0, file.Rate(128));
}

TEST_F(AniReaderTest, AbsurdSizesEndTheDecodingQuietly) {
    Ani ani;
    ani.frames = solidFrames(2);
    const std::string good = ani.bytes();
    const std::size_t anihSize = good.find("anih") + 4;
    const std::size_t listSize = good.find("LIST") + 4;
    const std::size_t frameSize = good.find("icon") + 4;
    const std::size_t imageOffset = good.find("icon") + 8 + 6 + 12;
    for (std::size_t at : {std::size_t(4), anihSize, listSize, frameSize, imageOffset}) {
        SCOPED_TRACE(at);
        for (std::uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0u}) {
            std::string bytes = good;
            bytes.replace(at, 4, le32(value));
            TAniIconFile file;
            file.LoadFromData(bytes);
            EXPECT_LE(file.FrameCount(), 2) << at << " " << value;
            file.Step();
        }
    }
    // A frame whose image is said to start beyond the frame ends the frames.
    std::string bytes = good;
    bytes.replace(imageOffset, 4, le32(766));
    TAniIconFile file;
    file.LoadFromData(bytes);
    EXPECT_EQ(0, file.FrameCount());
    // Garbage of every short length.
    for (std::size_t length = 0; length < 64; ++length) {
        SCOPED_TRACE(length);
        TAniIconFile junk;
        junk.LoadFromData(std::string(length, char(0xFF)));
        EXPECT_EQ(0, junk.FrameCount());
    }
}
