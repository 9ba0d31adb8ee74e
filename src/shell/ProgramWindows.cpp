#include "shell/ProgramWindows.h"

#include "automation/u_runReport.h"
#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "favorites/FavoritenPanel.h"
#include "favorites/u_URLChangeForm.h"
#include "lang/u_language.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/u_Surfkolibri.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"
#include "ui/u_splash.h"
#include "uninstall/u_survey.h"

namespace {
template <typename T> void destroy(T*& window) {
    delete window;
    window = nullptr;
}
} // namespace

void CreateMainWindow() {
    Form1 = new TForm1();
}

void CreateRemainingWindows() {
    // The order of creation after the main window and the splash.
    Form2 = new TForm2();
    Form4 = new TForm4();
    Form5 = new TForm5();
    Form6 = new TForm6(Form1->IEPowerPanel->BrowserSettings);
    CookieForm = new TCookieForm();
    HistoryForm = new THistoryForm();
    ShowMessage2Form = new TShowMessage2Form();
    TypedURLsForm = new TTypedURLsForm();
    MruForm = new TMruForm();
    URLChangeForm = new TURLChangeForm(*Form1->FavoritenPanel->FavoritesListView1);
    ChangeStartPageForm = new TChangeStartPageForm(Form1->IEPowerPanel->BrowserSettings);
    OtherBrowserForm = new TOtherBrowserForm();
    RunReportForm = new TRunReportForm();
    KeepCookiesForm = new TKeepCookiesForm();
    KeepSiteForm = new TKeepSiteForm();
}

void DestroyProgramWindows() {
    destroy(KeepSiteForm);
    destroy(KeepCookiesForm);
    destroy(RunReportForm);
    destroy(OtherBrowserForm);
    destroy(ChangeStartPageForm);
    destroy(URLChangeForm);
    destroy(MruForm);
    destroy(TypedURLsForm);
    destroy(FormSurvey);
    destroy(ShowMessage2Form);
    destroy(HistoryForm);
    destroy(CookieForm);
    destroy(Form6);
    destroy(Form5);
    destroy(Form4);
    destroy(Form2);
    destroy(Form3);
    destroy(Form1);
}
