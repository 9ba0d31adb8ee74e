#include "automation/AutomaticCleaning.h"

#include "automation/CleaningOperations.h"
#include "automation/CleaningRun.h"
#include "cache/u_cookieForm.h"
#include "lang/TQwTrans2.h"
#include "traces/TraceLists.h"
#include "traces/u_history.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

namespace {

constexpr int kBusyLineText = 170;

// The busy window's progress bar shows the run; the main window's hidden list of value names
// empties with the lists it mirrors.
class BusyWindowView : public CleaningRunView {
  public:
    void Progress(int percent) override {
        Form2->ProgressBar1->setValue(percent);
        ProcessMessages();
    }
    void StepDone(const RunStep& step) override {
        if (step.letter == 'm' || step.letter == 'e') EmptyMainWindowValueNames();
        ProcessMessages();
    }
    void Tell(const std::string& message) override { ShowMessage2(message); }
};

CleaningComponents programComponents(TIECache& mainCache) {
    return {*CookieForm->IECache1, mainCache, *HistoryForm->UrlHistory1};
}

// A preview shows nothing while it counts.
class SilentView : public CleaningRunView {
  public:
    void Progress(int) override { ProcessMessages(); }
};

} // namespace

RunSummary PreviewAutomaticCleaning(const std::string& options, TIECache& mainCache) {
    SilentView view;
    return RunCleanings(options, programComponents(mainCache), view, CleaningMode::Preview);
}

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

    BusyWindowView view;
    RunUnattended(options, programComponents(mainCache), view);

    Form2->Panel1->setVisible(false);
    Form2->Close();
    mainWindow->CloseMainWindow();
}
