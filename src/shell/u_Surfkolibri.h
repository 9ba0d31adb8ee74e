// The main window: the navigation bar with its section buttons, the seven section pages, the
// start-up timer and the hand-over to the unattended run.
#pragma once

#include "ui/FormBase.h"
#include "ui/MainWindow.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

class TIECache;
class TShellLink;
class TWallpaper;
class TAniIcon;
class WillkommenPanel;
class SicherheitsPanel;
class BrowsercachePanel;
class FavoritenPanel;
class IEPowerPanel;
class AutoPanel;
class AboutPanel;
class TBrowseForFolderDialog;
class TOpenDialog;

class TForm1 : public TFormBase, public TMainWindowRole {
    Q_OBJECT
  public:
    TForm1();
    ~TForm1() override;

    // Navigation bar.
    QWidget* NavigationBar;
    TWallpaper* Wallpaper1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton4;
    QToolButton* SpeedButton5;
    QToolButton* SpeedButton6;
    QToolButton* SpeedButton7;
    QToolButton* SpeedButton9;

    // Section pages, in bar order.
    class WillkommenPanel* WillkommenPanel;
    class SicherheitsPanel* SicherheitsPanel;
    class BrowsercachePanel* BrowsercachePanel;
    class FavoritenPanel* FavoritenPanel;
    class IEPowerPanel* IEPowerPanel;
    class AutoPanel* AutoPanel;
    class AboutPanel* AboutPanel;
    // The home-page icons of the pages, AniIcon1..AniIcon7 in bar order.
    TAniIcon* AniIcon[8] = {};

    // The cache section's walks and the unattended cache cleaning.
    std::unique_ptr<TIECache> IECache1;
    // The start-up shortcut the automation page writes.
    std::unique_ptr<TShellLink> ShellLink1;
    QTimer* Timer1; // the start-up timer: 100 ms, enabled by the language window; its
                    // handler stops it at once, so it fires once
    // Hidden: the value names a clearing of the typed addresses or the Run list works through.
    QListWidget* ListBox1;

    // Link addresses, set from the language texts.
    std::string HomePageAddress = "http://www.kravonel.example/";
    std::string MailAddress = "mailto:support@kravonel.example";

    // The folder and editor choices of the settings page; the browser settings, read into the
    // controls or written from what they changed, through the settings page's store.
    std::unique_ptr<TBrowseForFolderDialog> BrowseForFolderDialog1;
    std::unique_ptr<TOpenDialog> OpenDialog1;
    void ReadBrowserSettings();
    void WriteBrowserSettings();

    // What the windows of the sections may ask of the main window.
    QWidget* Window() override { return this; }
    void StartStartupTimer() override;
    void StopStartupTimer() override;
    void EmptyValueNames() override;
    void CloseMainWindow() override { Close(); }

    void HideSectionPanels();
    void LoadPresenterPicture();
    // True once the window has been closed: the program is ending.
    bool Closed() const { return closed_; }

    // Handlers.
    void Timer1Timer();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton9Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn7Click();
    void AniIcon1Click();
    void Label1Click();
    void Label2Click();
    void Label3Click();
    void Label12Click();
    void ComboBox1Change();
    // The security page's links: the History window, clearing the history, clearing and
    // showing the typed addresses, the MRU window.
    void Label21Click();
    void Label22Click();
    void Label23Click();
    void Label25Click();
    void Label38Click();
    // The "Other Browsers: " group's link: the other-browsers window.
    void Label69Click();

  protected:
    void FormShow() override;
    void FormClose() override;

  private:
    QToolButton* makeSectionButton(const QString& caption, int top);
    void showSection(QWidget* panel, QToolButton* button, bool sound);
    void putDownOnly(QAbstractButton* button);
    std::vector<QToolButton*> sectionButtons_;
    bool closed_ = false;
    bool unattendedRunStarted_ = false;
};

extern TForm1* Form1;
