#include "traces/TraceLists.h"

#include "controls/longlist.h"
#include "platform/qt/ansi_qstring.h"
#include "traces/UserRegistryKey.h"
#include "ui/MainWindow.h"

namespace {
// Colour value 15400959 of the window definitions: red 255, green 255, blue 234.
const QColor kPaleYellow(255, 255, 234);
} // namespace

TLongListbox* MakeTraceListbox(QWidget* parent) {
    auto* list = new TLongListbox(parent);
    list->setOnlyWhenFocused(false);
    list->setBackColor(kPaleYellow);
    list->setTextColor(Qt::black);
    QPalette yellow = list->palette();
    yellow.setColor(QPalette::Base, kPaleYellow);
    yellow.setColor(QPalette::Text, Qt::black);
    list->setPalette(yellow);
    list->setUniformItemSizes(true);
    return list;
}

void ReadValueNamesInto(const UserRegistryKey& key, QListWidget* names) {
    QStringList read;
    for (const std::string& name : key.ValueNames())
        read << AnsiToQString(name);
    names->addItems(read);
}

std::vector<std::string> NamesIn(const QListWidget* names) {
    std::vector<std::string> result;
    result.reserve(static_cast<std::size_t>(names->count()));
    for (int i = 0; i < names->count(); ++i)
        result.push_back(QStringToAnsi(names->item(i)->text()));
    return result;
}

void EmptyMainWindowValueNames() {
    if (TMainWindowRole* mainWindow = MainWindowRole()) mainWindow->EmptyValueNames();
}
