#include "automation/AutoPanel.h"

#include "automation/AutomaticCleaning.h"
#include "automation/RunReport.h"
#include "automation/ShellLnk.h"
#include "automation/StartupShortcut.h"
#include "automation/u_runReport.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/datetime.h"
#include "ui/ClickSound.h"

#include <QApplication>

namespace {

constexpr int kBoxHeight = 22;

QCheckBox* makeBox(QWidget* parent, const QString& caption, int x, int y, int width) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(x, y, width, kBoxHeight);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

} // namespace

AutoPanel::AutoPanel(QWidget* parent, TShellLink* shellLink, TIECache* mainCache)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_auto.png")), shellLink_(shellLink),
      mainCache_(mainCache) {
    RichEdit7 = TitleLine();
    Memo7 = Introduction();
    BitBtn6 = NextButton();

    const int width = kWidth - 32;
    GroupBox17 = new QGroupBox(this);
    GroupBox17->setGeometry(16, kContentTop + 6, width, 5 * kBoxHeight + 20);
    const int inner = width - 24;
    CheckBox4 = makeBox(GroupBox17, QStringLiteral("Browsercookies beim Windowsstart entfernen."),
                        12, 10, inner);
    CheckBox5 = makeBox(GroupBox17, QStringLiteral("Internetcache automatisch entleeren."), 12,
                        10 + kBoxHeight, inner);
    CheckBox6 = makeBox(GroupBox17, QStringLiteral("History des Internet Explorers bereinigen."),
                        12, 10 + 2 * kBoxHeight, inner);
    CheckBox7 = makeBox(GroupBox17, QStringLiteral("MRU-Listen  bei jedem Systemstart leeren."), 12,
                        10 + 3 * kBoxHeight, inner);
    CheckBox8 =
        makeBox(GroupBox17, QStringLiteral("Eingetippte Internetadressen beim Start löschen."), 12,
                10 + 4 * kBoxHeight, inner);
    CheckBox9 = makeBox(
        this, QStringLiteral("Nach den Reningungen beim Systemstart eine Erfolgsmeldung geben."),
        28, GroupBox17->y() + GroupBox17->height() + 8, width - 12);

    Memo8 = new TMemo(this);
    Memo8->setGeometry(16, CheckBox9->y() + kBoxHeight + 16, width, 50);

    LastRunLabel = new TLabel(this, QString(), 16, Memo8->y() + Memo8->height() + 4);
    LastRunLabel->SetAutoSize(false);
    LastRunLabel->setWordWrap(true);
    LastRunLabel->resize(width, 32);
    // Both links on one line, clear of the home icon in the corner below.
    const int links = LastRunLabel->y() + LastRunLabel->height() + 6;
    ReportsLink = new TLabel(this, QStringLiteral("Berichte anzeigen"), 16, links);
    ReportsLink->SetLink(true);
    PreviewLink =
        new TLabel(this, QStringLiteral("Was würde jetzt entfernt?"), 16 + width / 2, links);
    PreviewLink->SetLink(true);
    connect(ReportsLink, &TLabel::clicked, this, &AutoPanel::ReportsLinkClick);
    connect(PreviewLink, &TLabel::clicked, this, &AutoPanel::PreviewLinkClick);

    // A tick set from code counts as a click, as restoring the options relies on.
    for (QCheckBox* box : {CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9})
        connect(box, &QCheckBox::toggled, this, &AutoPanel::CheckBox4Click);
}

void AutoPanel::CheckBox4Click() {
    ApplyAutomationOptions(*shellLink_,
                           OptionLetters(CheckBox4->isChecked(), CheckBox5->isChecked(),
                                         CheckBox6->isChecked(), CheckBox7->isChecked(),
                                         CheckBox8->isChecked(), CheckBox9->isChecked()));
}

void AutoPanel::RestoreAutomationOptions() {
    const std::string letters = LoadAutomationShortcut(*shellLink_);
    const std::pair<char, QCheckBox*> boxes[] = {{'c', CheckBox4}, {'b', CheckBox5},
                                                 {'h', CheckBox6}, {'m', CheckBox7},
                                                 {'e', CheckBox8}, {'n', CheckBox9}};
    for (const auto& [letter, box] : boxes)
        if (letters.find(letter) != std::string::npos) box->setChecked(true);
}

void AutoPanel::showEvent(QShowEvent* event) {
    SectionPanel::showEvent(event);
    ShowLastRun();
}

void AutoPanel::ShowLastRun() {
    const RunReport report = ReadRunReport(RunReportPath());
    if (report.runs.empty()) {
        LastRunLabel->SetCaption(std::string());
        return;
    }
    const RunRecord& last = report.runs.back();
    double when = 0;
    SystemTimeToDateTime(last.when, when);
    const std::string removed = std::to_string(last.removed);
    LastRunLabel->SetCaption(
        last.notRemoved == 0
            ? FillIn(GetText(kLastRunText), {DateTimeToStr(when), removed})
            : FillIn(GetText(kLastRunStayedText),
                     {DateTimeToStr(when), removed, std::to_string(last.notRemoved)}));
}

void AutoPanel::ReportsLinkClick() {
    PlayClickSound();
    ShowRunReports();
}

std::string AutoPanel::tickedOptions() const {
    // The success message is no cleaning.
    std::string letters =
        OptionLetters(CheckBox4->isChecked(), CheckBox5->isChecked(), CheckBox6->isChecked(),
                      CheckBox7->isChecked(), CheckBox8->isChecked(), false);
    return letters;
}

void AutoPanel::PreviewLinkClick() {
    PlayClickSound();
    if (!RunReportForm || !mainCache_) return;
    const std::string options = tickedOptions();
    std::vector<std::string> lines;
    if (options.empty()) {
        lines.push_back(GetText(kNothingTickedText));
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        lines = SummaryLines(PreviewAutomaticCleaning(options, *mainCache_), CleaningMode::Preview);
        QApplication::restoreOverrideCursor();
    }
    RunReportForm->ShowLines(GetText(kPreviewTitleText), lines);
}
