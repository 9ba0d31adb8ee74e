// The about page: version and maker in two grids, the language box and the support links.
#pragma once

#include "ui/SectionPanel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QTableWidget>

class AboutPanel : public SectionPanel {
    Q_OBJECT
  public:
    explicit AboutPanel(QWidget* parent);

    TLabel* Label10;           // "Kravonel's", fixed
    TLabel* Label11;           // the product name
    QTableWidget* StringGrid1; // row names
    QTableWidget* StringGrid2; // values
    QGroupBox* GroupBox1;      // "Sprache:"
    QComboBox* ComboBox1;
    QGroupBox* GroupBox3; // "Supportinformationen: "
    TLabel* Label9;       // "Unsere Homepage"
    TLabel* Label12;      // "E-Mail an uns senden"
    TBitBtn* BitBtn7;

    static void SetGridCell(QTableWidget* grid, int row, const std::string& text);
    static std::string GridCell(const QTableWidget* grid, int row);
};
