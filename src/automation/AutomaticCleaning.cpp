#include "automation/AutomaticCleaning.h"

#include "automation/CleaningOperations.h"
#include "automation/StartupShortcut.h"
#include "cache/u_cookieForm.h"
#include "lang/TQwTrans2.h"
#include "traces/u_MruForm.h"
#include "traces/u_TypedURLs.h"
#include "traces/u_history.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <exception>
#include <functional>

namespace {

constexpr int kBusyLineText = 170;
constexpr int kSuccessText = 167;

void progress(int position) {
    Form2->ProgressBar1->setValue(position);
    ProcessMessages();
}

// One step of the run: whatever goes wrong in it ends this step only.
void step(const std::string& options, char letter, const std::function<void()>& cleaning) {
    if (!SelectsStep(options, letter)) return;
    try {
        cleaning();
    } catch (const std::exception&) {
    }
}

} // namespace

void RunAutomaticCleaning(TIECache& mainCache) {
    TMainWindowRole* mainWindow = MainWindowRole();
    if (!mainWindow) return;
    mainWindow->StopStartupTimer();
    const std::string options = ParamStr(1);

    Form2->Label2->SetCaption(GetText(kBusyLineText));
    Form2->Panel1->setVisible(true);
    Form2->ProgressBar1->setValue(0);
    Form2->Label2->setVisible(true);
    Form2->show();

    progress(10);
    step(options, 'c', [] { CleanCookies(*CookieForm->IECache1); });
    progress(20);
    step(options, 'b', [&mainCache] { CleanCache(mainCache); });
    progress(60);
    step(options, 'h', [] { CleanHistory(*HistoryForm->UrlHistory1); });
    progress(80);
    step(options, 'm', [] { ClearRunMru(); });
    progress(90);
    step(options, 'e', [] { ClearTypedUrls(); });
    ProcessMessages();
    step(options, 'r', [] { RemoveStartupShortcuts(); });
    progress(100);
    step(options, 'n', [] { ShowMessage2(GetText(kSuccessText)); });

    Form2->Panel1->setVisible(false);
    Form2->Close();
    mainWindow->CloseMainWindow();
}
