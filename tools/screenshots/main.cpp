// Renders every window of the program to PNG files, in each shipped language, so that the
// windows can be looked at without a display: screenshots OUTPUT_FOLDER.
// Works on the platform root named by SURFKOLIBRI_PLATFORM (seed it with skplatform first to
// see the sections with data).
#include "automation/AutoPanel.h"
#include "automation/CleaningRun.h"
#include "cache/KeepCookies.h"
#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "controls/WebBrowser.h"
#include "controls/longlist.h"
#include "favorites/FavoritenPanel.h"
#include "favorites/FavoritesListView.h"
#include "favorites/u_URLChangeForm.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "lang/u_language.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "platform/gui/application.h"
#include "platform/gui/modal.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "settings/BrowseForFolder.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/ProgramWindows.h"
#include "shell/u_Surfkolibri.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/FormBase.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"
#include "ui/u_splash.h"
#include "uninstall/u_survey.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

QString g_folder;
QString g_language;

void save(QWidget* window, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString file = g_folder + "/" + g_language + "_" + name + ".png";
    if (!window->grab().save(file))
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

// The favorites section inside a sub-folder of the demo Favorites, and the link editor for a
// favorite there.
void activateRow(TFavoritesListView* list, const std::string& name) {
    const int row = list->OwnerDataFind(ifExactString, name, 0, TFindWrap::No);
    if (row < 0) return;
    list->setCurrentIndex(list->model()->index(row, 0));
    list->DblClick();
}

void renderFavorites() {
    Form1->SpeedButton4->click();
    TFavoritesListView* list = Form1->FavoritenPanel->FavoritesListView1;
    activateRow(list, "Reisen");
    save(Form1, "main_4_favorites_folder");
    activateRow(list, "Ferienh\xE4user an der Ostsee");
    save(URLChangeForm, "link_editor");
    URLChangeForm->hide();
    list->Loaded();

    // What "Edit link" says of a favorite that is no internet shortcut, the question before a
    // deletion (closed, which keeps the favorite) and what a deletion that failed says.
    FavoritenPanel* panel = Form1->FavoritenPanel;
    const auto chooseRow = [list](const std::string& name) {
        const int row = list->OwnerDataFind(ifExactString, name, 0, TFindWrap::No);
        if (row >= 0) list->setCurrentIndex(list->model()->index(row, 0));
    };
    chooseRow("Einkaufsliste");
    SetModalHook([](QWidget* window) { save(window, "message_favorite_not_editable"); });
    panel->Label5Click();
    chooseRow("Wetter");
    SetModalHook([](QWidget* window) { save(window, "favorite_delete_question"); });
    panel->Label48Click();
    SetModalHook([](QWidget*) {});
    ShowMessage2Form->Label2->SetCaption(GetText(302));
    ShowMessage2Form->CentreMessage();
    save(ShowMessage2Form, "message_favorite_not_deleted");
    ShowMessage2Form->hide();
    list->Loaded();
}

// A survey page as the maker's site might serve it, written to the temporary folder: the
// survey window shows local pages for real.
std::string writeSurveyPage(int language) {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string folder = length > 0 && length < MAX_PATH ? std::string(temp, length) : "C:\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const bool german = language == 1;
    const std::string path = folder + (german ? "survey-de.htm" : "survey-en.htm");
    const std::string page =
        std::string("<html><head><meta charset=\"windows-1252\"></head><body>"
                    "<h2 style=\"color:#800000\">") +
        (german ? "Surfkolibri \x96 kurze Umfrage" : "Surfkolibri \x96 a short survey") +
        "</h2><p>" +
        (german ? "Vielen Dank, dass Sie Surfkolibri benutzt haben. Drei kurze Fragen helfen "
                  "uns, das Programm zu verbessern."
                : "Thank you for using Surfkolibri. Three short questions help us make it "
                  "better.") +
        "</p><ol><li>" +
        (german ? "Wie lange haben Sie Surfkolibri benutzt?"
                : "How long did you use Surfkolibri?") +
        "</li><li>" +
        (german ? "Welcher Bereich war Ihnen am n\xFCtzlichsten?"
                : "Which section did you find most useful?") +
        "</li><li>" + (german ? "Was hat Ihnen gefehlt?" : "What did you miss?") + "</li></ol><p>" +
        "<a href=\"survey.php?step=2\">" +
        (german ? "Weiter zur ersten Frage" : "On to the first question") +
        "</a></p><p><a href=\"Close.html\">" +
        (german ? "Nein danke, Umfrage schlie\xDF"
                  "en"
                : "No thanks, close the survey") +
        "</a></p></body></html>";
    WriteWholeFile(path, page);
    return path;
}

// The uninstall mode's question and survey window: the question as the system box shows it,
// the survey on a local page and on its real address, which cannot be reached offline.
void renderUninstall(int number) {
    SetModalHook([](QWidget* box) { save(box, "uninstall_question"); });
    MessageBoxA(nullptr, GetText(252).c_str(), GetText(1).c_str(), MB_YESNO | MB_ICONQUESTION);
    SetModalHook([](QWidget*) {});

    FormSurvey = new TFormSurvey();
    FormSurvey->setWindowTitle(AnsiToQString(GetText(1)));
    std::string address = "file:///" + writeSurveyPage(number);
    std::replace(address.begin(), address.end(), '\\', '/');
    FormSurvey->WebBrowser1->Navigate(address);
    save(FormSurvey, "survey");
    FormSurvey->WebBrowser1->Navigate(GetText(253));
    save(FormSurvey, "survey_offline");
    FormSurvey->hide();
}

void renderPlatformDialogs();

void renderLanguage(int number, const QString& tag) {
    g_language = tag;
    const std::string def = GetDataFolder(ProductName) + "Surfkolibri.def";
    CopyFileA(GetDataFilePath(ProductName, "Surfkolibri.t0" + std::to_string(number)).c_str(),
              def.c_str(), FALSE);
    InitTranslation(ProductName);
    CreateMainWindow();
    Form3 = new TForm3();
    Form3->Label1->SetCaption(GetText(1));
    save(Form3, "splash");
    Form3->hide();
    CreateRemainingWindows();
    ApplyLanguageTexts();
    Form1->Timer1Timer();

    const std::pair<QToolButton*, const char*> sections[] = {
        {Form1->SpeedButton1, "main_1_welcome"},  {Form1->SpeedButton2, "main_2_security"},
        {Form1->SpeedButton3, "main_3_cache"},    {Form1->SpeedButton4, "main_4_favorites"},
        {Form1->SpeedButton5, "main_5_settings"}, {Form1->SpeedButton6, "main_6_automation"},
        {Form1->SpeedButton7, "main_7_about"}};
    for (const auto& [button, name] : sections) {
        button->click();
        save(Form1, name);
    }

    // The automation page's links: the recorded runs, and what the ticked cleanings would
    // remove now.
    Form1->SpeedButton6->click();
    SetModalHook([](QWidget* window) { save(window, "run_reports"); });
    Form1->AutoPanel->ReportsLinkClick();
    // The preview of every cleaning, the ticks the machine had put back afterwards.
    AutoPanel* automation = Form1->AutoPanel;
    QCheckBox* const boxes[] = {automation->CheckBox4, automation->CheckBox5, automation->CheckBox6,
                                automation->CheckBox7, automation->CheckBox8};
    std::vector<bool> ticked;
    for (QCheckBox* box : boxes) {
        ticked.push_back(box->isChecked());
        box->setChecked(true);
    }
    SetModalHook([](QWidget* window) { save(window, "run_preview"); });
    automation->PreviewLinkClick();
    for (std::size_t i = 0; i < ticked.size(); ++i)
        boxes[i]->setChecked(ticked[i]);
    SetModalHook([](QWidget*) {});

    renderFavorites();

    Form2->Label2->SetCaption(GetText(118));
    Form2->Label3->SetCaption(GetText(123));
    Form2->Label2->setVisible(true);
    Form2->Label3->setVisible(true);
    Form2->Panel1->setVisible(true);
    Form2->ProgressBar1->setValue(40);
    save(Form2, "busy");
    Form2->hide();

    // The busy window of the unattended run, its bar driven by the run.
    Form2->Label3->setVisible(false);
    Form2->Label2->SetCaption(GetText(170));
    Form2->ProgressBar1->setValue(60);
    save(Form2, "busy_unattended");
    Form2->Close();

    ShowMessage2Form->Label2->SetCaption(GetText(119) + " 1234kb\r" + GetText(120));
    ShowMessage2Form->CentreMessage();
    save(ShowMessage2Form, "message");
    ShowMessage2Form->hide();
    // The cache report when pages in use kept some entries.
    CleaningResult emptied;
    for (int i = 0; i < 316; ++i)
        emptied.Removed(13 * 1024);
    for (int i = 0; i < 4; ++i)
        emptied.Failed("http://www.example.com/page" + std::to_string(i), ERROR_SHARING_VIOLATION);
    ShowMessage2Form->Label2->SetCaption(GetText(119) + " 4108kb\r" + DoneMessage(120, emptied));
    ShowMessage2Form->CentreMessage();
    save(ShowMessage2Form, "message_cache_in_use");
    ShowMessage2Form->hide();
    // The message that ends an unattended run with n: every cleaning, one of them with an
    // entry in use and a browser that was running.
    RunSummary run;
    for (const StepName& step : kRunSteps) {
        CleaningResult result;
        for (int i = 0; i < 12; ++i)
            result.Removed(2048);
        if (step.letter == 'c') {
            result.Failed("Cookie:user@www.bank.example/", ERROR_SHARING_VIOLATION);
            result.Note(FillIn(GetText(363), {"Firefox"}));
        }
        run.total += result;
        run.steps.push_back({step.letter, step.label, result});
    }
    ShowMessage2Form->Label2->SetCaption(SummaryMessage(run));
    ShowMessage2Form->CentreMessage();
    save(ShowMessage2Form, "message_run_done");
    ShowMessage2Form->hide();

    Form4->setWindowState(Qt::WindowNoState);
    save(Form4, "language");
    Form4->hide();

    // The cookie window and the keep-list with two sites on it, as a user who keeps the
    // logins of the mail and bank sites has them; a list the machine already holds is shown
    // as it is, and the sites put there for the pictures go again.
    TKeepCookies keep = TKeepCookies::FromRegistry();
    std::vector<std::string> added;
    if (keep.Empty())
        for (const char* site : {"mail.example", "bank.example"})
            if (keep.Add(site) == ERROR_SUCCESS) added.push_back(site);
    CookieForm->show();
    if (CookieForm->Listbox1->count() > 1) {
        CookieForm->Listbox1->setCurrentRow(1);
        CookieForm->ListBox1Click();
    }
    save(CookieForm, "cookies");
    for (int i = 0; i < CookieForm->Listbox1->count(); ++i) {
        if (CookieForm->IsKept(CookieForm->Listbox1->item(i))) {
            CookieForm->Listbox1->setCurrentRow(i);
            CookieForm->Listbox1->scrollToItem(CookieForm->Listbox1->item(i));
            break;
        }
    }
    save(CookieForm, "cookies_kept");
    save(KeepCookiesForm, "keep_cookies");
    KeepCookiesForm->hide();
    for (const std::string& site : added)
        keep.Remove(site);
    save(KeepCookiesForm, "keep_cookies_empty");
    KeepCookiesForm->hide();
    // The question before a site goes on the list, for a cookie of one of its names.
    SetModalHook([](QWidget* window) { save(window, "keep_site"); });
    KeepSiteForm->AskSite("www.bank.example");
    SetModalHook([](QWidget*) {});
    CookieForm->CloseTimer->stop();
    CookieForm->hide();

    Form5->ShowInfoText(GetText(67));
    save(Form5, "info");
    Form5->hide();

    // The trace windows fill themselves on showing (the Typed URLs window a moment later);
    // their timers that close an empty window are stopped, nobody is there to confirm.
    HistoryForm->show();
    HistoryForm->CloseTimer->stop();
    save(HistoryForm, "history");
    HistoryForm->hide();

    TypedURLsForm->show();
    TypedURLsForm->Timer1Timer();
    save(TypedURLsForm, "typed_urls");
    TypedURLsForm->hide();

    MruForm->show();
    MruForm->leerTimer->stop();
    save(MruForm, "mru");
    MruForm->hide();

    // The settings page's windows and its folder dialog, as its links open them.
    ChangeStartPageForm->Edit1->setText(
        AnsiToQString(Form1->IEPowerPanel->BrowserSettings.Stored().StoredStartPage));
    save(ChangeStartPageForm, "start_page");
    ChangeStartPageForm->hide();
    save(Form6, "autocomplete");
    Form6->hide();
    SetModalHook([](QWidget* window) { save(window, "download_folder"); });
    Form1->BrowseForFolderDialog1->Execute();
    SetModalHook([](QWidget*) {});
    save(OtherBrowserForm, "other_browsers");
    OtherBrowserForm->hide();

    renderPlatformDialogs();
    renderUninstall(number);
    DestroyProgramWindows();
}

// The platform's own dialogs, as the settings section opens them, in the program's language,
// and the general error display.
int selectDownloads(HWND dialog, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED) {
        const char* folder = "C:\\Users\\User\\Downloads";
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(folder));
    }
    return 0;
}

void renderPlatformDialogs() {
    int n = 0;
    SetModalHook([&n](QWidget* window) {
        const char* names[] = {"browse_for_folder", "open_file", "error"};
        if (n < 3) save(window, names[n++]);
    });
    char name[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.pszDisplayName = name;
    const std::string folderTitle = GetText(156);
    bi.lpszTitle = folderTitle.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = selectDownloads;
    ILFree(SHBrowseForFolderA(&bi));
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "*.exe\0*.exe;*.com\0*.*\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = "C:\\Windows";
    const std::string fileTitle = GetText(157);
    ofn.lpstrTitle = fileTitle.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST;
    GetOpenFileNameA(&ofn);
    ShowException(std::runtime_error("I/O error 5"));
    SetModalHook([](QWidget*) {});
}

} // namespace

int main(int argc, char** argv) {
    // Messages that a window would show modally are skipped: nobody is there to press OK.
    SetModalHook([](QWidget*) {});
    qputenv("QT_QPA_PLATFORM", "offscreen");
    HostedApplication app(argc, argv);
    SetProgramFont();
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    ProvideDataFiles(ProductName, false, {"Surfkolibri.chm", "Surfkolibri.doc"});
    renderLanguage(0, "en");
    renderLanguage(1, "de");
    return 0;
}
