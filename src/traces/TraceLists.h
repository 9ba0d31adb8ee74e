// What the Typed URLs and MRU windows share: the pale yellow list they show their entries in,
// and the hidden list box that holds the value names of a registry list while they are read.
#pragma once

#include <QListWidget>

#include <string>
#include <vector>

class TLongListbox;
class UserRegistryKey;

// A long-item list with the pale yellow background and the hint box of the same colour.
TLongListbox* MakeTraceListbox(QWidget* parent);

// Appends the key's value names, in registry order.
void ReadValueNamesInto(const UserRegistryKey& key, QListWidget* names);
std::vector<std::string> NamesIn(const QListWidget* names);

// Empties the main window's hidden list of value names, when there is a main window.
void EmptyMainWindowValueNames();
