// The security page's groups for the history, the typed addresses, the MRU lists and the
// other browsers.
#include "traces_fixture.h"

#include "shell/u_Surfkolibri.h"
#include "traces/SicherheitsPanel.h"

#include <QGroupBox>

namespace {

class SicherheitsPanelTest : public testing_support::WindowTest,
                             public ::testing::WithParamInterface<int> {};

bool inside(const QWidget* child) {
    const QWidget* group = child->parentWidget();
    return child->x() >= 0 && child->x() + child->width() <= group->width() - 4 &&
           child->y() + child->height() <= group->height();
}

} // namespace

// In each language every line fits its group, each "hier" follows its sentence on the same
// line, and the groups stand in two columns without overlapping.
TEST_P(SicherheitsPanelTest, TextsFitAndLinksFollowTheirSentences) {
    StartProgram(GetParam());
    ApplyLanguageTexts();
    const SicherheitsPanel* s = Form1->SicherheitsPanel;
    const std::pair<TLabel*, int> sentences[] = {
        {s->Label17, 48},  {s->Label18, 49},  {s->Label19, 50},  {s->Label20, 51}, {s->Label26, 56},
        {s->Label30, 57},  {s->Label24, 58},  {s->Label31, 59},  {s->Label32, 60}, {s->Label33, 61},
        {s->Label34, 62},  {s->Label35, 63},  {s->Label36, 64},  {s->Label37, 65}, {s->Label8, 197},
        {s->Label66, 392}, {s->Label65, 393}, {s->Label67, 200}, {s->Label68, 201}};
    for (const auto& [label, text] : sentences) {
        EXPECT_EQ(GetText(text), label->Caption()) << text;
        EXPECT_TRUE(inside(label)) << text;
    }
    const std::pair<TLabel*, TLabel*> links[] = {
        {s->Label21, s->Label19}, {s->Label22, s->Label20}, {s->Label25, s->Label30},
        {s->Label23, s->Label31}, {s->Label38, s->Label37}, {s->Label69, s->Label68}};
    for (const auto& [link, sentence] : links) {
        EXPECT_EQ(GetText(52), link->Caption());
        EXPECT_EQ(sentence->x() + sentence->width() + 5, link->x()) << sentence->Caption();
        EXPECT_EQ(sentence->y(), link->y());
        EXPECT_EQ(sentence->parentWidget(), link->parentWidget());
        EXPECT_TRUE(inside(link)) << sentence->Caption();
        EXPECT_EQ(Qt::PointingHandCursor, link->cursor().shape());
    }
    EXPECT_EQ(AnsiToQString(GetText(41)), s->GroupBox5->title());
    EXPECT_EQ(AnsiToQString(GetText(43)), s->GroupBox7->title());
    EXPECT_EQ(AnsiToQString(GetText(202)), s->GroupBox18->title());
    const QGroupBox* groups[] = {s->GroupBox4, s->GroupBox5, s->GroupBox6, s->GroupBox7,
                                 s->GroupBox18};
    for (const QGroupBox* a : groups) {
        EXPECT_LE(a->geometry().bottom(), SectionPanel::kContentBottom);
        for (const QGroupBox* b : groups)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, SicherheitsPanelTest, ::testing::Values(0, 1));
