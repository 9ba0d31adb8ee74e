// The information window: a small modal window that shows a multi-line explanation.
#pragma once

#include "ui/FormBase.h"

#include <QStringList>

#include <string>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TForm5 : public TFormBase {
    Q_OBJECT
  public:
    TForm5();

    // Fills the memo: a line feed ends a line, everything else (a carriage return too) stays
    // in its line, and what follows the last line feed is the last line, even when empty.
    void ShowInfoText(const std::string& Text);
    // The memo's lines as they were added.
    QStringList MemoLines() const { return memoLines_; }

    void BitBtn2Click();

    QLabel* Label1;
    QGroupBox* GroupBox1;
    QPlainTextEdit* Memo1;
    QLabel* Image1;
    QPushButton* BitBtn2;

  protected:
    // Enter presses "weiter", the window's default button.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void clearMemo();
    void appendMemoLine(const std::string& line);
    void showMemoLines();

    QStringList memoLines_;
};

extern TForm5* Form5;
