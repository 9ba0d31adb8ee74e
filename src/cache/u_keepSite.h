// The question before a site goes on the keep-list: the cookie window offers the site of the
// chosen cookie (its registrable domain, "bank.example" for a cookie of "www.bank.example"),
// names the host the cookie came from, and takes any name between the two that the user types.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QLineEdit>

#include <string>

class TKeepSiteForm : public TFormBase {
    Q_OBJECT
  public:
    TKeepSiteForm();
    ~TKeepSiteForm() override;

    TLabel* Label1;   // what is asked
    QLineEdit* Edit1; // the site to keep
    TLabel* Label2;   // where the cookie came from, and how to keep only that name
    TBitBtn* BitBtn1; // keeps the site
    TBitBtn* BitBtn2; // keeps nothing

    // Shows the question for a cookie of `host` modally; the name to put on the list, or
    // empty when the user kept nothing.
    std::string AskSite(const std::string& host);
    void BitBtn1Click();
    void BitBtn2Click();

  private:
    std::string host_;
    std::string chosen_;
};

extern TKeepSiteForm* KeepSiteForm;
