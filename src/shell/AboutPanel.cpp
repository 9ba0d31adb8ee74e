#include "shell/AboutPanel.h"

#include "platform/qt/ansi_qstring.h"

#include <QHeaderView>

namespace {

QTableWidget* makeGrid(QWidget* parent, int x, int width) {
    auto* grid = new QTableWidget(9, 1, parent);
    grid->setGeometry(x, 92, width, 9 * 20 + 2);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    return grid;
}

} // namespace

AboutPanel::AboutPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_about.png"), false) {
    BitBtn7 = NextButton();
    Label10 = new TLabel(this, QStringLiteral("Kravonel's"), 16, 18);
    QFont small = Label10->font();
    small.setBold(true);
    small.setPixelSize(13);
    Label10->setFont(small);
    Label10->adjustSize();
    Label11 = new TLabel(this, QStringLiteral("Surfkolibri"), 16, 36);
    QFont big = Label11->font();
    big.setBold(true);
    big.setPixelSize(24);
    Label11->setFont(big);
    QPalette maroon = Label11->palette();
    maroon.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
    Label11->setPalette(maroon);
    Label11->adjustSize();

    StringGrid1 = makeGrid(this, 16, 120);
    StringGrid2 = makeGrid(this, 136, 200);

    GroupBox1 = new QGroupBox(QStringLiteral("Sprache:"), this);
    GroupBox1->setGeometry(16, 300, 200, 58);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setGeometry(10, 24, 180, 24);

    GroupBox3 = new QGroupBox(QStringLiteral("Supportinformationen: "), this);
    GroupBox3->setGeometry(232, 300, 235, 72);
    Label9 = new TLabel(GroupBox3, QStringLiteral("Unsere Homepage"), 12, 24);
    Label12 = new TLabel(GroupBox3, QStringLiteral("E-Mail an uns senden"), 12, 46);
    Label9->SetLink(true);
    Label12->SetLink(true);
}

void AboutPanel::SetGridCell(QTableWidget* grid, int row, const std::string& text) {
    grid->setItem(row, 0, new QTableWidgetItem(AnsiToQString(text)));
}

std::string AboutPanel::GridCell(const QTableWidget* grid, int row) {
    const QTableWidgetItem* item = grid->item(row, 0);
    return item ? QStringToAnsi(item->text()) : std::string();
}
