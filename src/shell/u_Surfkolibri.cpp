#include "shell/u_Surfkolibri.h"

#include "automation/AutoPanel.h"
#include "automation/AutomaticCleaning.h"
#include "automation/ShellLnk.h"
#include "cache/BrowsercachePanel.h"
#include "cache/IECache.h"
#include "controls/Dialogs.h"
#include "controls/Wallpapr.h"
#include "controls/aniicon.h"
#include "controls/jpegimage.h"
#include "favorites/FavoritenPanel.h"
#include "lang/LanguageSwitch.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "platform/ansi.h"
#include "platform/gui/windows.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "settings/BrowseForFolder.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_autocomplete.h"
#include "shell/AboutPanel.h"
#include "shell/WillkommenPanel.h"
#include "traces/SicherheitsPanel.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/ClickSound.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/MessageLoop.h"
#include "ui/MyTricks.h"

#include <QCoreApplication>
#include <QImage>
#include <QTimer>

#include <algorithm>

namespace {

// The texts of the language file shown here.
constexpr int kLanguageNameText = 0;

} // namespace

TForm1* Form1 = nullptr;

namespace {

constexpr int kBarWidth = 149;

// Names compared ignoring the case of ASCII letters only.
bool sameAsciiText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

TForm1::TForm1()
    : TFormBase(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("Form1"));
    SetClientSize(632, 468);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    NavigationBar = new QWidget(this);
    NavigationBar->setGeometry(0, 0, kBarWidth, 468);
    Wallpaper1 = new TWallpaper(NavigationBar);
    Wallpaper1->setGeometry(0, 0, kBarWidth, 468);
    Wallpaper1->setWallpaper(QImage(QStringLiteral(":/res/wallpaper.png")));
    SpeedButton1 = makeSectionButton(QStringLiteral("Willkommen..."), 14);
    SpeedButton2 = makeSectionButton(QStringLiteral("Sicherheit + Privatsphäre"), 58);
    SpeedButton3 = makeSectionButton(QStringLiteral("Browsercache säubern"), 102);
    SpeedButton4 = makeSectionButton(QStringLiteral("Favoriten verwalten"), 146);
    SpeedButton5 = makeSectionButton(QStringLiteral("IE-Power-Einstellungen"), 190);
    SpeedButton6 = makeSectionButton(QStringLiteral("Automatisierungen"), 234);
    SpeedButton7 = makeSectionButton(QStringLiteral("Über Surfkolibri"), 278);
    SpeedButton9 = makeSectionButton(QStringLiteral("Surfkolibri beenden"), 468 - 54);
    sectionButtons_.pop_back(); // the exit button is no section
    SpeedButton9->setCheckable(false);
    SpeedButton9->setVisible(false);
    SpeedButton1->setChecked(true);

    IECache1 = std::make_unique<TIECache>();
    SetUpContentComponent(*IECache1);
    ShellLink1 = std::make_unique<TShellLink>();

    BrowseForFolderDialog1 = std::make_unique<TBrowseForFolderDialog>(HandleOfWidget(this));
    BrowseForFolderDialog1->SetTitle("Please select your Download-Folder:");
    BrowseForFolderDialog1->SetStartupFolder(bfCustomPath);
    BrowseForFolderDialog1->SetCustomButtonType(bfbNone);
    OpenDialog1 = std::make_unique<TOpenDialog>(HandleOfWidget(this));
    OpenDialog1->Title = "Please choose your favorite Editor:";
    OpenDialog1->Filter = "*.exe|*.exe;*.com|*.*|*.*";
    OpenDialog1->DefaultExt = "*.exe";
    // An editor has to be a program that is there.
    OpenDialog1->Options |= OFN_FILEMUSTEXIST;

    // Stacked in bar order; the welcome page lies on top.
    AboutPanel = new class AboutPanel(this);
    AutoPanel = new class AutoPanel(this, ShellLink1.get(), IECache1.get());
    IEPowerPanel = new class IEPowerPanel(this, *OpenDialog1, *BrowseForFolderDialog1);
    FavoritenPanel = new class FavoritenPanel(this);
    BrowsercachePanel = new class BrowsercachePanel(this, IECache1.get());
    SicherheitsPanel = new class SicherheitsPanel(this);
    WillkommenPanel = new class WillkommenPanel(this);
    SectionPanel* pages[] = {WillkommenPanel, SicherheitsPanel, BrowsercachePanel, FavoritenPanel,
                             IEPowerPanel,    AutoPanel,        AboutPanel};
    for (int i = 0; i < 7; ++i) {
        AniIcon[i + 1] = pages[i]->HomeIcon();
        connect(AniIcon[i + 1], &TAniIcon::clicked, this, &TForm1::AniIcon1Click);
    }

    ListBox1 = new QListWidget(this);
    ListBox1->setVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(WillkommenPanel->BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(SicherheitsPanel->BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BrowsercachePanel->BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(FavoritenPanel->BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(IEPowerPanel->BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(AutoPanel->BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(AboutPanel->BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn7Click);
    connect(WillkommenPanel->Label1, &TLabel::clicked, this, &TForm1::Label1Click);
    connect(WillkommenPanel->Label2, &TLabel::clicked, this, &TForm1::Label2Click);
    connect(WillkommenPanel->Label3, &TLabel::clicked, this, &TForm1::Label3Click);
    connect(AboutPanel->Label9, &TLabel::clicked, this, &TForm1::Label3Click);
    connect(AboutPanel->Label12, &TLabel::clicked, this, &TForm1::Label12Click);
    connect(SicherheitsPanel->Label21, &TLabel::clicked, this, &TForm1::Label21Click);
    connect(SicherheitsPanel->Label22, &TLabel::clicked, this, &TForm1::Label22Click);
    connect(SicherheitsPanel->Label23, &TLabel::clicked, this, &TForm1::Label23Click);
    connect(SicherheitsPanel->Label25, &TLabel::clicked, this, &TForm1::Label25Click);
    connect(SicherheitsPanel->Label38, &TLabel::clicked, this, &TForm1::Label38Click);
    connect(SicherheitsPanel->Label69, &TLabel::clicked, this, &TForm1::Label69Click);
    // Only the user's choice counts as a change, not the filling of the list.
    connect(AboutPanel->ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    SetMainWindowRole(this);
}

TForm1::~TForm1() {
    // The pages go first: the cache page's handler refers to the component, which goes with
    // the window's members once this body has run.
    delete BrowsercachePanel;
    BrowsercachePanel = nullptr;
    if (MainWindowRole() == this) SetMainWindowRole(nullptr);
    if (Form1 == this) Form1 = nullptr;
}

QToolButton* TForm1::makeSectionButton(const QString& caption, int top) {
    auto* button = new QToolButton(NavigationBar);
    button->setText(caption);
    button->setCheckable(true);
    button->setGeometry(6, top, kBarWidth - 12, 38);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setCursor(Qt::PointingHandCursor);
    // Reached with Tab, pressed with Enter or Space, with a dotted mark while it has the focus.
    button->setFocusPolicy(Qt::StrongFocus);
    ClickOnEnter(button);
    button->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid rgba(255,255,255,120); border-radius: 3px;"
        " background: rgba(255,255,255,150); color: #102a5c; font-weight: bold;"
        " padding: 2px 6px; text-align: left; }"
        "QToolButton:hover { background: rgba(255,255,255,205); }"
        "QToolButton:checked { background: #ffffff; border: 1px solid #4a6fa8; color: #800000; }"
        "QToolButton:focus { border: 1px dotted #102a5c; }"));
    // One section button is down at a time, put down here: Qt's button groups would leave all
    // but the pressed button out of the Tab order.
    sectionButtons_.push_back(button);
    connect(button, &QToolButton::clicked, this, [this, button] { putDownOnly(button); });
    return button;
}

void TForm1::HideSectionPanels() {
    for (QWidget* panel :
         std::initializer_list<QWidget*>{WillkommenPanel, SicherheitsPanel, BrowsercachePanel,
                                         FavoritenPanel, IEPowerPanel, AutoPanel, AboutPanel})
        panel->setVisible(false);
}

void TForm1::showSection(QWidget* panel, QToolButton* button, bool sound) {
    if (sound) PlayClickSound();
    HideSectionPanels();
    panel->setVisible(true);
    if (button) putDownOnly(button);
}

void TForm1::putDownOnly(QAbstractButton* button) {
    if (std::find(sectionButtons_.begin(), sectionButtons_.end(), button) == sectionButtons_.end())
        return; // the exit button
    for (QAbstractButton* each : sectionButtons_)
        each->setChecked(each == button);
}

void TForm1::SpeedButton1Click() {
    showSection(WillkommenPanel, nullptr, true);
}
void TForm1::SpeedButton2Click() {
    showSection(SicherheitsPanel, nullptr, true);
}
void TForm1::SpeedButton4Click() {
    showSection(FavoritenPanel, nullptr, true);
}
void TForm1::SpeedButton5Click() {
    showSection(IEPowerPanel, nullptr, true);
}
void TForm1::SpeedButton6Click() {
    showSection(AutoPanel, nullptr, true);
}
void TForm1::SpeedButton7Click() {
    showSection(AboutPanel, nullptr, true);
}

void TForm1::SpeedButton3Click() {
    PlayClickSound();
    HideSectionPanels();
    BrowsercachePanel->ListCache();
}

void TForm1::SpeedButton9Click() {
    Close();
}

void TForm1::BitBtn1Click() {
    showSection(SicherheitsPanel, SpeedButton2, true);
}

void TForm1::BitBtn2Click() {
    putDownOnly(SpeedButton3);
    SpeedButton3Click();
}

void TForm1::BitBtn3Click() {
    showSection(FavoritenPanel, SpeedButton4, true);
}
void TForm1::BitBtn4Click() {
    showSection(IEPowerPanel, SpeedButton5, true);
}
void TForm1::BitBtn5Click() {
    showSection(AutoPanel, SpeedButton6, true);
}
void TForm1::BitBtn6Click() {
    showSection(AboutPanel, SpeedButton7, true);
}
void TForm1::BitBtn7Click() {
    showSection(WillkommenPanel, SpeedButton1, true);
}

void TForm1::AniIcon1Click() {
    OpenURL(HomePageAddress);
}

void TForm1::Label1Click() {
    PlayClickSound();
    RunFile(GetDataFilePath(ProductName, "Surfkolibri.doc"));
}

void TForm1::Label2Click() {
    PlayClickSound();
    RunFile(GetDataFilePath(ProductName, "Surfkolibri.chm"));
}

void TForm1::Label3Click() {
    PlayClickSound();
    OpenURL(HomePageAddress);
}

void TForm1::Label12Click() {
    PlayClickSound();
    OpenURL(MailAddress);
}

void TForm1::Label21Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(this);
    HistoryForm->ShowModal();
}

void TForm1::Label22Click() {
    ClearIeHistory();
}

void TForm1::Label23Click() {
    ClearTypedUrlsWithProgress();
}

void TForm1::Label25Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(this);
    TypedURLsForm->ShowModal();
}

void TForm1::Label38Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(this);
    MruForm->ShowModal();
}

void TForm1::Label69Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(this);
    OtherBrowserForm->ShowModal();
}

void TForm1::LoadPresenterPicture() {
    const std::string path = GetDataFilePath(ProductName, "Surfkolibri_pic.jpg");
    if (!FileExistsA(path)) return;
    // The "presented by" line only goes with a picture that could be shown.
    const QImage picture = LoadJpegImage(path);
    if (picture.isNull()) return;
    WillkommenPanel->Label39->setVisible(true);
    WillkommenPanel->Image1->SetPicture(picture);
}

void TForm1::Timer1Timer() {
    Timer1->stop();
    QComboBox* box = AboutPanel->ComboBox1;
    box->clear();
    const int count = GetLanguageCount();
    for (int i = 0; i < count; ++i)
        box->addItem(AnsiToQString(GetLanguageName(i)));
    int selected = 0;
    const std::string current = GetCurrentLanguageName();
    for (int i = 0; i < count; ++i)
        if (sameAsciiText(GetLanguageName(i), current)) selected = i;
    box->setCurrentIndex(box->count() > 0 ? selected : -1);
    LoadPresenterPicture();
    ReadBrowserSettings();
    AutoPanel->RestoreAutomationOptions();
    WillkommenPanel->setVisible(true);
    if (CurrentRunMode() != RunMode::Unattended) {
        WillkommenPanel->ShowUnseenRunProblem();
        setVisible(true);
    }
}

void TForm1::FormShow() {
    SpeedButton9->setVisible(true);
    // The run starts once, right after the window is up; showing the window again (restored
    // from minimised) starts nothing.
    if (CurrentRunMode() == RunMode::Unattended && !unattendedRunStarted_) {
        unattendedRunStarted_ = true;
        Timer1->stop(); // the interactive start-up sequence never runs
        QTimer::singleShot(0, this, [this] { RunAutomaticCleaning(*IECache1); });
    }
}

void TForm1::FormClose() {
    closed_ = true;
    Timer1->stop();
    EndMessageLoop();
}

void TForm1::ComboBox1Change() {
    const std::string chosen = QStringToAnsi(AboutPanel->ComboBox1->currentText());
    if (AnsiUpperCase(chosen) == AnsiUpperCase(GetText(kLanguageNameText))) return;
    SwitchLanguage(chosen);
    RunFile(ProgramFilePath());
    Close();
}

void TForm1::ReadBrowserSettings() {
    IEPowerPanel->BrowserSettings.ReadBrowserSettings();
}

void TForm1::WriteBrowserSettings() {
    IEPowerPanel->BrowserSettings.WriteBrowserSettings();
}

void TForm1::StartStartupTimer() {
    setVisible(false);
    Timer1->start();
}

void TForm1::StopStartupTimer() {
    Timer1->stop();
}

void TForm1::EmptyValueNames() {
    ListBox1->clear();
}
