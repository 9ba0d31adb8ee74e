// The report window: the recorded unattended runs, newest first, or what the next run would
// remove now. A heading, the lines in a scrolling list, and a button that closes it.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QPlainTextEdit>

#include <string>
#include <vector>

class TRunReportForm : public TFormBase {
    Q_OBJECT
  public:
    TRunReportForm();

    TLabel* Label1;        // the heading
    QPlainTextEdit* Memo1; // the lines
    TBitBtn* BitBtn1;      // closes the window

    // Shows the lines (ANSI, as the language's texts) under the heading, modally.
    void ShowLines(const std::string& heading, const std::vector<std::string>& lines);
    void BitBtn1Click();
};

extern TRunReportForm* RunReportForm;

// The recorded runs, newest first, each with its time, its options and its lines; a note
// when there are none, and when the report could not be read whole.
void ShowRunReports();
