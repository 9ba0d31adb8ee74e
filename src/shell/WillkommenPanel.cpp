#include "shell/WillkommenPanel.h"

#include "automation/RunReport.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/datetime.h"
#include "ui/MyTricks.h"

namespace {
constexpr const char* kRunShownValue = "LastRunShown";
constexpr int kProblemTop = 318;
constexpr int kProblemHeight = 36;
} // namespace

WillkommenPanel::WillkommenPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_welcome.png")) {
    RichEdit1 = TitleLine();
    Memo1 = Introduction();
    BitBtn1 = NextButton();
    // The welcome texts are long: they take the full width below the title, and the
    // decoration moves down beside the links.
    Memo1->setGeometry(16, 46, kWidth - 32, 80);
    RichEdit2 = new TRichEdit(this);
    RichEdit2->setGeometry(16, 138, kWidth - 32, 26);
    Memo2 = new TMemo(this);
    Memo2->setGeometry(16, 168, kWidth - 32, 52);
    Decoration()->move(kWidth - Decoration()->width() - 16, 240);

    Label1 = new TLabel(this, QStringLiteral("Dokumentation lesen"), 40, 246);
    Label2 = new TLabel(this, QStringLiteral("Hilfe starten"), 40, 270);
    Label3 = new TLabel(this, QStringLiteral("Unsere Homepage"), 40, 294);
    for (TLabel* link : {Label1, Label2, Label3}) {
        link->SetLink(true);
        auto* arrow = new TImage(this, QStringLiteral(":/res/link.png"));
        arrow->move(20, link->y() + (link->height() - arrow->height()) / 2);
    }
    Label39 = new TLabel(this, QStringLiteral("Präsentiert von:"), 40, 326);
    Label39->setVisible(false);
    Image1 = new TImage(this);
    Image1->setGeometry(40, 344, 200, 60);
    Image1->setScaledContents(false);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    RunProblemLabel = new TLabel(this, QString(), 20, kProblemTop);
    RunProblemLabel->SetAutoSize(false);
    RunProblemLabel->setWordWrap(true);
    RunProblemLabel->resize(Decoration()->x() - 28, kProblemHeight);
    QPalette red = RunProblemLabel->palette();
    red.setColor(QPalette::WindowText, QColor(170, 0, 0));
    RunProblemLabel->setPalette(red);
    RunProblemLabel->setVisible(false);
}

void WillkommenPanel::ShowUnseenRunProblem() {
    const RunReport report = ReadRunReport(RunReportPath());
    if (report.runs.empty() || report.runs.back().notRemoved == 0) return;
    const RunRecord& last = report.runs.back();
    double when = 0;
    SystemTimeToDateTime(last.when, when);
    const std::string stamp = DateTimeToStr(when);
    if (ReadUserRegString(ProgramKey, kRunShownValue) == stamp) return;
    WriteUserRegString(ProgramKey, kRunShownValue, stamp);
    RunProblemLabel->SetCaption(
        GetText(kLastRunFailedText) + " " + stamp + ", " +
        FillIn(GetText(kNotRemovedText), {std::to_string(last.notRemoved)}));
    RunProblemLabel->setVisible(true);
    // The presenter's picture, when there is one, moves below the note.
    Label39->move(Label39->x(), kProblemTop + kProblemHeight + 6);
    Image1->move(Image1->x(), Label39->y() + 18);
}
