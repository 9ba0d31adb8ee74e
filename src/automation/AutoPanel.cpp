#include "automation/AutoPanel.h"

#include "automation/ShellLnk.h"
#include "automation/StartupShortcut.h"

namespace {

constexpr int kBoxHeight = 22;

QCheckBox* makeBox(QWidget* parent, const QString& caption, int x, int y, int width) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(x, y, width, kBoxHeight);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

} // namespace

AutoPanel::AutoPanel(QWidget* parent, TShellLink* shellLink)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_auto.png")), shellLink_(shellLink) {
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
    Memo8->setGeometry(16, CheckBox9->y() + kBoxHeight + 16, width, 64);

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
