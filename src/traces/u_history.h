// The History window: the browser's URL history as a table of last visit, title and address,
// and the one link that empties it. Its UrlHistory1 is the history component every history
// operation of the program uses, the unattended cleaning included.
#pragma once

#include "controls/stdctrls.h"
#include "ui/FormBase.h"

#include <QTableWidget>
#include <QTimer>

#include <string>

class TUrlHistory;

class THistoryForm : public TFormBase {
    Q_OBJECT
  public:
    THistoryForm();
    ~THistoryForm() override;

    TLabel* Label17; // first heading line
    TLabel* Label1;  // second heading line
    // Row 0 holds the column headings; rows 1..n one visit each, the oldest first.
    QTableWidget* StringGrid1;
    TImage* Image1;
    TLabel* Label6; // "History": empties the history
    TBitBtn* BitBtn1;
    TUrlHistory* UrlHistory1;
    QTimer* CloseTimer; // 10 ms: the empty-history message once the window is open

    // The text of a cell, empty when the cell holds nothing.
    std::string Cells(int column, int row) const;

    void Label6Click();
    void BitBtn1Click();
    void CloseTimerTimer();

  protected:
    void FormShow() override;
    void FormHide() override;
};

extern THistoryForm* HistoryForm;

// Empties the browser's history: the main window's "History: " link (Label22Click) and the
// History window's own link. The clock is moved a day ahead for a moment and set back to
// where it would be had it never been moved.
void ClearIeHistory();
