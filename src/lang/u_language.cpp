#include "lang/u_language.h"

#include "lang/LanguageSwitch.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"

TForm4* Form4 = nullptr;

// A dialog with a title and nothing else in its frame: the choice is made with OK (or Enter);
// Esc, or closing it any other way, cancels the first run and ends the program, since a
// program without a language would show nothing but empty captions.
TForm4::TForm4() : TFormBase(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {
    SetClientSize(193, 143);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    setWindowState(Qt::WindowMinimized);
    // The two fixed lines must fit the narrow window in either language.
    QFont small = font();
    small.setPixelSize(10);
    Label1 = new TLabel(this, QString(), 8, 10);
    Label2 = new TLabel(this, QString(), 8, 28);
    Label1->setFont(small);
    Label2->setFont(small);
    Label1->SetCaption(QStringLiteral("Please select your language:"));
    Label2->SetCaption(QStringLiteral("Bitte wählen Sie Ihre Sprache aus:"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(10, 56, 173, 24);
    BitBtn1 = new TBitBtn(this, QStringLiteral("OK"));
    BitBtn1->setGeometry(56, 100, 80, 28);
    BitBtn1->setEnabled(false);
    BitBtn1->setDefault(true);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, &TForm4::Timer1Timer);
    connect(ComboBox1, &QComboBox::activated, this, &TForm4::ComboBox1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    FormCreate();
}

void TForm4::FormCreate() {
    const int count = GetLanguageCount();
    for (int i = 0; i < count; ++i)
        ComboBox1->addItem(AnsiToQString(GetLanguageName(i)));
    ComboBox1->setCurrentIndex(-1);
}

void TForm4::FormShow() {
    if (timerEnabled_ && !Timer1->isActive()) Timer1->start();
}

void TForm4::ComboBox1Change() {
    BitBtn1->setEnabled(true);
}

void TForm4::Timer1Timer() {
    Timer1->stop();
    timerEnabled_ = false;
    if (FileExistsA(LanguageMarkerPath())) {
        decided_ = true;
        if (TMainWindowRole* mainWindow = MainWindowRole()) mainWindow->StartStartupTimer();
        Close();
        return;
    }
    setWindowState(Qt::WindowNoState);
    showNormal();
    raise();
    activateWindow();
    // The keys go to the list at once: a letter picks the language it begins with.
    ComboBox1->setFocus();
}

void TForm4::BitBtn1Click() {
    // Enter presses OK only once a language is chosen.
    if (!BitBtn1->isEnabled()) return;
    decided_ = true;
    WriteFileIfMissing(LanguageMarkerPath(), ProgramVersion);
    SwitchLanguage(QStringToAnsi(ComboBox1->currentText()));
    RunFile(ProgramFilePath());
    if (TMainWindowRole* mainWindow = MainWindowRole()) mainWindow->CloseMainWindow();
    Close();
}

void TForm4::FormClose() {
    if (decided_) return;
    decided_ = true;
    if (TMainWindowRole* mainWindow = MainWindowRole()) mainWindow->CloseMainWindow();
}
