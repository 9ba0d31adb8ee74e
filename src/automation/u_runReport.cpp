#include "automation/u_runReport.h"

#include "automation/CleaningRun.h"
#include "automation/RunReport.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/datetime.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"

TRunReportForm* RunReportForm = nullptr;

namespace {
constexpr int kWidth = 520;
constexpr int kHeight = 340;
constexpr int kCloseText = 22;
} // namespace

TRunReportForm::TRunReportForm() {
    setObjectName(QStringLiteral("RunReportForm"));
    SetClientSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    Label1 = new TLabel(this, QString(), 16, 12);
    Label1->SetBold(true);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setGeometry(16, 36, kWidth - 32, kHeight - 36 - 52);
    BitBtn1 = new TBitBtn(this, QStringLiteral("weiter"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(kWidth - 124, kHeight - 40, 108, 28);
    connect(BitBtn1, &QPushButton::clicked, this, &TRunReportForm::BitBtn1Click);
}

void TRunReportForm::ShowLines(const std::string& heading, const std::vector<std::string>& lines) {
    Label1->SetCaption(heading);
    BitBtn1->setText(AnsiToQString(GetText(kCloseText)));
    QString text;
    for (const std::string& line : lines)
        text += AnsiToQString(line) + QLatin1Char('\n');
    Memo1->setPlainText(text);
    ShowModal();
}

void TRunReportForm::BitBtn1Click() {
    PlayClickSound();
    Close();
}

void ShowRunReports() {
    if (!RunReportForm) return;
    const RunReport report = ReadRunReport(RunReportPath());
    std::vector<std::string> lines;
    if (report.damaged) lines.push_back(GetText(kReportRestartedText));
    if (report.runs.empty()) lines.push_back(GetText(kNoReportsText));
    for (auto run = report.runs.rbegin(); run != report.runs.rend(); ++run) {
        double when = 0;
        SystemTimeToDateTime(run->when, when);
        if (!lines.empty()) lines.emplace_back();
        // The letters in words of today's language, whichever language wrote the run's lines.
        lines.push_back(DateTimeToStr(when) + "   " + GetText(kOptionsWord) + " " +
                        OptionsInWords(run->options));
        for (const std::string& line : run->lines)
            lines.push_back(Utf8ToAnsi(line));
    }
    RunReportForm->ShowLines(GetText(kReportsTitleText), lines);
}
