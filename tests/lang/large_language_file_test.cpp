#include "lang/TQwTrans2.h"
#include "support/platform_fixture.h"

#include <QElapsedTimer>

#include <map>
#include <string>

namespace {

using testing_support::PlatformTest;
using testing_support::writeHostFile;

// A 2 MB language file: a few ordinary sections, one section of 100 000 short lines (what a
// damaged file may hold), lines ending in CR LF or a lone CR, LF inside lines, a repeated
// number, and the final [END]. The expected texts are built alongside.
std::string largeFile(std::map<int, std::string>& expected) {
    std::string file = "[0]\r\nDEUTSCH\r\n";
    expected[0] = "DEUTSCH";
    auto section = [&](int n, const std::vector<std::string>& lines, const char* end) {
        file += "[" + std::to_string(n) + "]" + end;
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            file += lines[i] + end;
            text += (i ? "\r" : "") + lines[i];
        }
        expected[n] = text;
    };
    section(1, {"Surfkolibri"}, "\r\n");
    section(16, {"erste\nZeile", "zweite Zeile \xE4\xF6\xFC"}, "\r");
    std::vector<std::string> many;
    std::size_t size = file.size();
    for (int i = 0; size < 2 * 1024 * 1024 - 200; ++i) {
        many.push_back("Z" + std::to_string(i) + (i % 7 ? "" : "\n"));
        size += many.back().size() + 2;
    }
    section(200, many, "\r\n");
    section(16, {"ersetzt"}, "\r\n");
    section(253, {"http://www.kravonel.example/"}, "\r\n");
    file += "[END]\r\nnie gespeichert\r\n";
    return file;
}

TEST(QwTrans2LargeFileTest, TwoMegabytesLoadWellUnderASecondWithEveryTextIntact) {
    testing_support::TempPlatform platform;
    std::map<int, std::string> expected;
    const std::string contents = largeFile(expected);
    ASSERT_GT(contents.size(), 2'000'000u);
    ASSERT_LT(contents.size(), 2u * 1024 * 1024);
    writeHostFile(platform.hostPath("C:\\") + "/large.t", contents);

    QwTrans2 engine("Surfkolibri");
    QElapsedTimer loading;
    loading.start();
    engine.LoadTextFile("C:\\large.t");
    // Growing a section line by line once took half a minute for a file this size.
    EXPECT_LT(loading.elapsed(), 1000);

    for (int n = 0; n < QwTrans2::kTextCount; ++n) {
        SCOPED_TRACE(n);
        const auto it = expected.find(n);
        // A text the file lacks is empty, or the program's English for a newer one.
        const char* builtIn = BuiltInText(n);
        const std::string want = it != expected.end() ? it->second
                                 : builtIn            ? std::string(builtIn)
                                                      : std::string();
        ASSERT_EQ(want.size(), engine.GetText(n).size()) << n;
        ASSERT_TRUE(want == engine.GetText(n)) << n;
    }
    EXPECT_EQ("ersetzt", engine.GetText(16));
    EXPECT_EQ("DEUTSCH", engine.CurrentLanguageName());
}

} // namespace
