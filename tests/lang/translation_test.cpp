#include "lang/TQwTrans2.h"
#include "lang/used_texts.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "ui/MyTricks.h"

#include <algorithm>
#include <filesystem>

using testing_support::PlatformTest;
using testing_support::readHostFile;
using testing_support::writeHostFile;

namespace {

// A language engine over a file written on drive C:.
class LanguageFileTest : public PlatformTest {
  protected:
    QwTrans2 engine{"Surfkolibri"};

    void load(const std::string& contents) {
        writeHostFile(platform.hostPath(platform.profile() + "\\texts.t"), contents);
        engine.LoadTextFile(platform.profile() + "\\texts.t");
    }

    std::string dataFolderHost() const {
        return platform.hostPath(platform.profile() + "\\AppData\\Local") + "/Kravonel/Surfkolibri";
    }

    // Language n's files in the program folder (document and help only when given).
    void installLanguage(int n, const std::string& name, const std::string& document = {},
                         const std::string& help = {}) const {
        const std::string base = platform.programFolder() + "/Surfkolibri.";
        writeHostFile(base + "t0" + std::to_string(n),
                      "[0]\r\n" + name + "\r\n[1]\r\ntext of " + name + "\r\n[END]\r\n");
        if (!document.empty()) writeHostFile(base + "d0" + std::to_string(n), document);
        if (!help.empty()) writeHostFile(base + "c0" + std::to_string(n), help);
    }
};

} // namespace

using TQwTrans2Test = testing_support::PlatformTest;

TEST(SectionMarker, RecognisesTheIntegerNotations) {
    EXPECT_EQ(0, ParseSectionMarker("[0]"));
    EXPECT_EQ(12, ParseSectionMarker("[00012]"));
    EXPECT_EQ(12, ParseSectionMarker("[ 12]"));
    EXPECT_EQ(12, ParseSectionMarker("[  +12]"));
    EXPECT_EQ(26, ParseSectionMarker("[$1A]"));
    EXPECT_EQ(26, ParseSectionMarker("[0x1a]"));
    EXPECT_EQ(26, ParseSectionMarker("[0X1A]"));
    EXPECT_EQ(10000, ParseSectionMarker("[END]"));
    EXPECT_EQ(10001, ParseSectionMarker("[10001]"));
    EXPECT_EQ(2147483647, ParseSectionMarker("[2147483647]"));
}

TEST(SectionMarker, EverythingElseIsText) {
    for (const char* line : {"[5 ]",
                             "[-1]",
                             " [5]",
                             "[5] ",
                             "[]",
                             "[",
                             "5]",
                             "[end]",
                             "[ END]",
                             "[+ 5]",
                             "[$]",
                             "[0x]",
                             "[1.5]",
                             "[5",
                             "5",
                             "",
                             "[12a]",
                             "[$1G]",
                             "[2147483648]",
                             "[$80000000]",
                             "[99999999999999999999]",
                             "[--1]"})
        EXPECT_EQ(-1, ParseSectionMarker(line)) << line;
}

TEST(LanguageLines, CrLfAndLoneCrEndLinesLoneLfAndCtrlZDoNot) {
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c\nd", ""}),
              SplitLanguageLines("a\r\nb\rc\nd\r\n\r\n"));
    EXPECT_EQ((std::vector<std::string>{"x", "[END]"}), SplitLanguageLines("x\r[END]\x1Arest\r\n"));
    EXPECT_EQ((std::vector<std::string>{"last"}), SplitLanguageLines("last"));
    EXPECT_TRUE(SplitLanguageLines("\x1A"
                                   "a\r\n")
                    .empty());
}

TEST_F(LanguageFileTest, FiveLineFileGivesTwoTexts) {
    load("[0]\r\nDEUTSCH\r\n[1]\r\nDatei\r\n[END]\r\n");
    EXPECT_EQ("DEUTSCH", engine.GetText(0));
    EXPECT_EQ("Datei", engine.GetText(1));
    EXPECT_EQ("DEUTSCH", engine.CurrentLanguageName());
    for (int n : {2, 253, 9999, 10000})
        EXPECT_EQ("", engine.GetText(n)) << n;
    EXPECT_EQ("", engine.GetText(10001));
    EXPECT_EQ("", engine.GetText(-1));

    // Without [END] the last section is never stored.
    load("[0]\r\nDEUTSCH\r\n[1]\r\nDatei\r\n");
    EXPECT_EQ("DEUTSCH", engine.GetText(0));
    EXPECT_EQ("", engine.GetText(1));
}

TEST_F(LanguageFileTest, SectionLinesJoinWithCrAndLfStaysInTheText) {
    load("[0]\r\nX\r\n[7]\r\nA\r\nB\rC\nD\r\n\r\n[8]\r\n[9]\r\n\r\n[END]");
    EXPECT_EQ("A\rB\rC\nD\r", engine.GetText(7));
    EXPECT_EQ("", engine.GetText(8));
    EXPECT_EQ("", engine.GetText(9));
}

TEST_F(LanguageFileTest, CtrlZEndsTheFile) {
    load("[0]\r\nX\r\n[1]\r\none\r\n[END]\x1A\r\n[2]\r\ntwo\r\n[END]\r\n");
    EXPECT_EQ("one", engine.GetText(1));
    EXPECT_EQ("", engine.GetText(2));
}

TEST_F(LanguageFileTest, LinesBeforeTheFirstMarkerAndDuplicates) {
    load("preface\r\n[5]\r\nfive\r\n[END]\r\n");
    EXPECT_EQ("preface", engine.GetText(0));
    EXPECT_EQ("preface", engine.CurrentLanguageName());
    EXPECT_EQ("five", engine.GetText(5));

    load("preface\r\n[0]\r\nNAME\r\n[5]\r\nfirst\r\n[5]\r\nsecond\r\n[ 5]\r\nthird\r\n[END]");
    EXPECT_EQ("NAME", engine.GetText(0));
    EXPECT_EQ("third", engine.GetText(5));
    // The name is the first non-empty section stored: the preface.
    EXPECT_EQ("preface", engine.CurrentLanguageName());

    load("[1]\r\none\r\n[0]\r\nLATE\r\n[END]");
    EXPECT_EQ("one", engine.GetText(1));
    EXPECT_EQ("LATE", engine.GetText(0));
    EXPECT_EQ("one", engine.CurrentLanguageName());
}

TEST_F(LanguageFileTest, AnIndexBeyondTheTableDropsTheRest) {
    load("[0]\r\nX\r\n[3]\r\nthree\r\n[10001]\r\nlost\r\n[4]\r\nfour\r\n[5]\r\nfive\r\n[END]");
    EXPECT_EQ("three", engine.GetText(3));
    EXPECT_EQ("", engine.GetText(4));
    EXPECT_EQ("", engine.GetText(5));
    EXPECT_EQ("", engine.GetText(10000));
}

TEST_F(LanguageFileTest, TextsLikeMarkersStayText) {
    load("[0]\r\nX\r\n[5 ]\r\n[1]\r\n[-1]\r\n[0x10]\r\nsixteen\r\n[END]\r\n");
    EXPECT_EQ("X\r[5 ]", engine.GetText(0));
    EXPECT_EQ("[-1]", engine.GetText(1));
    EXPECT_EQ("sixteen", engine.GetText(16));
}

// A language file written before a text existed shows the program's English wording of it
// (never an empty message); a file that has the text shows its own, and older texts have no
// such fallback.
TEST_F(LanguageFileTest, NewerTextsMissingFromAFileFallBackToTheProgramsEnglish) {
    const int newer = QwTrans2::kFirstNewerText + 4;
    ASSERT_NE(nullptr, BuiltInText(newer));
    load("[0]\r\nOLD\r\n[1]\r\nSurfkolibri\r\n[END]\r\n");
    EXPECT_EQ(BuiltInText(newer), engine.GetText(newer));
    EXPECT_EQ("", engine.GetText(2));
    EXPECT_EQ("", engine.GetText(QwTrans2::kFirstNewerText - 1));
    load("[0]\r\nNEW\r\n[" + std::to_string(newer) + "]\r\neigene Worte\r\n[END]\r\n");
    EXPECT_EQ("eigene Worte", engine.GetText(newer));
}

TEST_F(LanguageFileTest, LoadingAMissingFileEmptiesTheTable) {
    load("[0]\r\nX\r\n[1]\r\none\r\n[END]");
    ASSERT_EQ("one", engine.GetText(1));
    engine.LoadTextFile("C:\\missing.t");
    EXPECT_EQ("", engine.GetText(0));
    EXPECT_EQ("", engine.GetText(1));
}

TEST_F(LanguageFileTest, LanguageCountNamesAndNumbers) {
    installLanguage(0, "ENGLISH");
    installLanguage(1, "DEUTSCH");
    installLanguage(3, "FRAN\xC7"
                       "AIS"); // a gap at 2
    installLanguage(12, "Dansk");
    EXPECT_EQ(4, engine.GetLanguageCount());
    EXPECT_EQ("ENGLISH", engine.GetLanguageName(0));
    EXPECT_EQ("", engine.GetLanguageName(2));
    EXPECT_EQ("FRAN\xC7"
              "AIS",
              engine.GetLanguageName(3));
    EXPECT_EQ("Dansk", engine.GetLanguageName(12));
    EXPECT_EQ("", engine.GetLanguageName(-1));
    EXPECT_EQ("12", engine.FindLanguageNumber("DANSK"));
    EXPECT_EQ("3", engine.FindLanguageNumber("fran\xE7"
                                             "ais"));
    EXPECT_EQ("", engine.FindLanguageNumber("Nederlands"));

    // The data folder's file comes first; a later number of the same name wins.
    writeHostFile(dataFolderHost() + "/Surfkolibri.t00", "[0]\r\nDEUTSCH\r\n[END]\r\n");
    EXPECT_EQ("DEUTSCH", engine.GetLanguageName(0));
    EXPECT_EQ("1", engine.FindLanguageNumber("Deutsch"));
    EXPECT_EQ("", engine.FindLanguageNumber("ENGLISH"));
}

TEST_F(LanguageFileTest, SelectLanguageCopiesEnglishFirstThenTheChoice) {
    installLanguage(0, "DEUTSCH", "doc de", "help de");
    installLanguage(1, "English", "doc en", "help en");
    installLanguage(2, "DANSK"); // neither document nor help
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));

    EXPECT_TRUE(engine.SelectLanguage("dansk"));
    const std::string data = dataFolderHost();
    EXPECT_EQ("doc en", readHostFile(data + "/Surfkolibri.doc"));
    EXPECT_EQ("help en", readHostFile(data + "/Surfkolibri.chm"));
    EXPECT_EQ(readHostFile(platform.programFolder() + "/Surfkolibri.t02"),
              readHostFile(data + "/Surfkolibri.def"));
    EXPECT_EQ("text of DANSK", engine.GetText(1));
    EXPECT_EQ("DANSK", engine.CurrentLanguageName());

    EXPECT_TRUE(engine.SelectLanguage("DEUTSCH"));
    EXPECT_EQ("doc de", readHostFile(data + "/Surfkolibri.doc"));
    EXPECT_EQ("help de", readHostFile(data + "/Surfkolibri.chm"));
    EXPECT_EQ("text of DEUTSCH", engine.GetText(1));

    // English twice over gives the English files.
    EXPECT_TRUE(engine.SelectLanguage("ENGLISH"));
    EXPECT_EQ("doc en", readHostFile(data + "/Surfkolibri.doc"));
    EXPECT_EQ(readHostFile(platform.programFolder() + "/Surfkolibri.t01"),
              readHostFile(data + "/Surfkolibri.def"));
}

TEST_F(LanguageFileTest, SelectingAnUnknownLanguageChangesNothing) {
    installLanguage(0, "ENGLISH", "doc en");
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));
    load("[0]\r\nCURRENT\r\n[1]\r\nkept\r\n[END]");
    writeHostFile(dataFolderHost() + "/Surfkolibri.def", "previous");

    EXPECT_FALSE(engine.SelectLanguage("KLINGON"));
    EXPECT_EQ("kept", engine.GetText(1));
    EXPECT_EQ("previous", readHostFile(dataFolderHost() + "/Surfkolibri.def"));
    EXPECT_FALSE(std::filesystem::exists(dataFolderHost() + "/Surfkolibri.doc"));
}

TEST_F(LanguageFileTest, SelectLanguageStillLoadsWhenTheDataFolderIsMissing) {
    installLanguage(0, "ENGLISH");
    EXPECT_TRUE(engine.SelectLanguage("English"));
    EXPECT_EQ("text of ENGLISH", engine.GetText(1));
    EXPECT_FALSE(std::filesystem::exists(dataFolderHost()));
}

TEST_F(TQwTrans2Test, UnitOperationsUseTheDataFolderDefinitionFile) {
    InitTranslation("Surfkolibri");
    EXPECT_EQ("", GetText(1));
    EXPECT_EQ(0, GetLanguageCount());

    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));
    writeHostFile(platform.hostPath(platform.profile() + "\\AppData\\Local") +
                      "/Kravonel/Surfkolibri/Surfkolibri.def",
                  "[0]\r\nFROM DATA\r\n[1]\r\nData\r\n[END]\r\n");
    InitTranslation("Surfkolibri");
    EXPECT_EQ("Data", GetText(1));
    EXPECT_EQ("FROM DATA", GetCurrentLanguageName());
    EXPECT_EQ(2, GetLanguageCount());
    EXPECT_EQ("DEUTSCH", GetLanguageName(1));

    EXPECT_TRUE(SelectLanguage("deutsch"));
    EXPECT_EQ("DEUTSCH", GetText(0));
    EXPECT_EQ("DEUTSCH", GetCurrentLanguageName());
}

// Both shipped language files follow the format and define every text the program uses.
TEST_F(TQwTrans2Test, ShippedLanguageFilesDefineEveryUsedText) {
    platform.installDataFiles();
    QwTrans2 engine("Surfkolibri");
    ASSERT_EQ(2, engine.GetLanguageCount());
    const char* const names[] = {"ENGLISH", "DEUTSCH"};
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(names[n]);
        EXPECT_EQ(names[n], engine.GetLanguageName(n));
        engine.LoadTextFile(platform.programFolderWindows() + "Surfkolibri.t0" + std::to_string(n));
        EXPECT_EQ(names[n], engine.CurrentLanguageName());
        const auto& used = surfkolibri_test::kUsedTextNumbers;
        for (int number : used) {
            SCOPED_TRACE(number);
            EXPECT_FALSE(engine.GetText(number).empty()) << "text " << number;
            // A newer text has the program's English to fall back on, which the English file
            // repeats and the German file translates.
            if (number < QwTrans2::kFirstNewerText) continue;
            const char* builtIn = BuiltInText(number);
            ASSERT_NE(nullptr, builtIn) << "text " << number;
            const std::string text = engine.GetText(number);
            EXPECT_EQ(n == 0, text == builtIn) << "text " << number;
        }
        EXPECT_EQ("Surfkolibri", engine.GetText(1));
        // [END] closes the file: above the first range only the texts in use are stored.
        for (int number = 254; number < QwTrans2::kTextCount; ++number)
            if (std::find(std::begin(used), std::end(used), number) == std::end(used)) {
                ASSERT_EQ("", engine.GetText(number)) << "text " << number;
            }
    }
}
