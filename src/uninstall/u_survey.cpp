#include "uninstall/u_survey.h"

#include "controls/WebBrowser.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/MessageLoop.h"

#include <QVBoxLayout>

namespace {

// The texts of the language file shown here.
constexpr int kProductNameText = 1;
constexpr int kSurveyQuestionText = 252;
constexpr int kSurveyAddressText = 253;

} // namespace

TFormSurvey* FormSurvey = nullptr;

TFormSurvey::TFormSurvey()
    : TFormBase(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormSurvey"));
    setWindowTitle(QStringLiteral("Surfkolibri"));
    // Resizable: the page decides its own layout.
    resize(737, 512);
    WebBrowser1 = new TWebBrowser(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WebBrowser1);
    WebBrowser1->OnBeforeNavigate2 = [this](const std::string& url, bool& cancel) {
        WebBrowser1BeforeNavigate2(url, cancel);
    };
}

void TFormSurvey::WebBrowser1BeforeNavigate2(const std::string& url, bool& Cancel) {
    const std::string upper = AnsiUpperCase(url);
    if (upper.find("CLEARALL") != std::string::npos) Cancel = true;
    if (upper.find("CLOSE") != std::string::npos) Cancel = true;
    if (Cancel) Close();
}

void TFormSurvey::FormClose() {
    closed_ = true;
    EndMessageLoop();
}

void RunUninstallSurvey() {
    const std::string caption = GetText(kProductNameText);
    if (MessageBoxA(nullptr, GetText(kSurveyQuestionText).c_str(), caption.c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    FormSurvey = new TFormSurvey();
    FormSurvey->setWindowTitle(AnsiToQString(caption));
    FormSurvey->WebBrowser1->Navigate(GetText(kSurveyAddressText));
    // A survey address that itself asks to close ends the survey before it shows.
    if (FormSurvey->Closed()) return;
    FormSurvey->show();
    RunMessageLoop();
}
