#include "controls/aniicon.h"

#include "support/application.h"
#include "support/caller_trace.h"

#include <QFile>
#include <QImage>

#include <cstring>

using testing_support::QtTest;

namespace {

QByteArray resource(const QString& name) {
    QFile file(":/res/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t le32At(const QByteArray& data, qsizetype at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(data[at + i]);
    return v;
}

// Frames that differ from each other and leave their corners see-through.
void expectAnimation(const TAniIconFile& file, int frames,
                     const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    ASSERT_EQ(frames, file.FrameCount());
    for (int i = 0; i < frames; ++i) {
        SCOPED_TRACE(i);
        const QImage image = IconImage(file.FrameIcon(i));
        ASSERT_EQ(QSize(32, 32), image.size());
        EXPECT_EQ(0, qAlpha(image.pixel(0, 0))) << i;
        EXPECT_NE(image, IconImage(file.FrameIcon((i + 1) % frames))) << i;
    }
}

} // namespace

using DesignResources = QtTest;

TEST_F(DesignResources, HomeAnimationHasTitlesRatesAndEightFrames) {
    const QByteArray data = resource("home.ani");
    ASSERT_FALSE(data.isEmpty());
    EXPECT_TRUE(data.startsWith("RIFF"));
    EXPECT_EQ("ACON", data.mid(8, 4));
    EXPECT_EQ("LIST", data.mid(12, 4));
    EXPECT_EQ("INFO", data.mid(20, 4));
    EXPECT_TRUE(data.contains("rate"));
    EXPECT_EQ(static_cast<std::uint32_t>(data.size() - 8), le32At(data, 4));
    TAniIconFile file;
    EXPECT_TRUE(file.LoadFromResource(":/res/home.ani"));
    expectAnimation(file, 8);
    EXPECT_NE(file.Rate(0), file.Rate(1));
}

TEST_F(DesignResources, BusyAnimationHasNeitherTitlesNorRates) {
    const QByteArray data = resource("busy.ani");
    ASSERT_FALSE(data.isEmpty());
    EXPECT_EQ("anih", data.mid(12, 4));
    EXPECT_FALSE(data.contains("rate"));
    EXPECT_FALSE(data.contains("INFO"));
    TAniIconFile file;
    file.LoadFromData(data);
    expectAnimation(file, 12);
    EXPECT_EQ(static_cast<std::int32_t>(file.Header().DisplayRate), file.Rate(11));
}

TEST(ClickSound, IsAShortMonoPcmWave) {
    QFile file(QStringLiteral(SURFKOLIBRI_DATA_DIR "/clck.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray wav = file.readAll();
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ("RIFF", wav.mid(0, 4));
    EXPECT_EQ("WAVE", wav.mid(8, 4));
    EXPECT_EQ("fmt ", wav.mid(12, 4));
    EXPECT_EQ(1u, le32At(wav, 20) & 0xFFFF); // PCM
    EXPECT_EQ(1u, le32At(wav, 20) >> 16);    // mono
    const std::uint32_t byteRate = le32At(wav, 28);
    EXPECT_EQ("data", wav.mid(36, 4));
    const std::uint32_t dataBytes = le32At(wav, 40);
    EXPECT_EQ(static_cast<qsizetype>(44 + dataBytes), wav.size());
    const double milliseconds = 1000.0 * dataBytes / byteRate;
    EXPECT_GE(milliseconds, 10.0);
    EXPECT_LE(milliseconds, 100.0);
}
