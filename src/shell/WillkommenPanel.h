// The welcome page: the product's introduction, the links to documentation, help and home
// page, and the optional presenter picture.
#pragma once

#include "ui/SectionPanel.h"

class WillkommenPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit WillkommenPanel(QWidget* parent);

    TRichEdit* RichEdit1;
    TMemo* Memo1;
    TRichEdit* RichEdit2;
    TMemo* Memo2;
    TLabel* Label1;          // "Dokumentation lesen"
    TLabel* Label2;          // "Hilfe starten"
    TLabel* Label3;          // "Unsere Homepage"
    TImage* Image1;          // presenter picture
    TLabel* Label39;         // "Präsentiert von:", hidden until a presenter picture is there
    TLabel* RunProblemLabel; // the last unattended run left something, shown once
    TBitBtn* BitBtn1;

    // When the last unattended run could not remove everything and this has not been shown
    // yet, says so on the page (once: the run's time is remembered in the program's key).
    void ShowUnseenRunProblem();
};
