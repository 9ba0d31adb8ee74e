// Uninstall mode: the question whether to take part in the maker's web survey, and the
// survey window that shows the page until the page asks to be closed.
#pragma once

#include "ui/FormBase.h"

#include <string>

class TWebBrowser;

class TFormSurvey : public TFormBase {
    Q_OBJECT
  public:
    TFormSurvey();

    TWebBrowser* WebBrowser1; // fills the window

    // Every navigation, the first one and followed links included: an address holding
    // "CLEARALL" or "CLOSE" in any letter case is not followed and closes the window.
    void WebBrowser1BeforeNavigate2(const std::string& url, bool& Cancel);
    // True once the window has been closed: the survey is over.
    bool Closed() const { return closed_; }

  protected:
    void FormClose() override;

  private:
    bool closed_ = false;
};

extern TFormSurvey* FormSurvey;

// Asks (text 252, caption text 1); on Yes creates the survey window as the only window of
// this run, navigates it to text 253 and runs the message loop until it is closed.
void RunUninstallSurvey();
