// A map of what the program shows, for scripts that drive it from outside as a user would
// (the Windows check under Wine, which clicks through X and presses keys): with the
// environment variable SURFKOLIBRI_WINDOW_MAP naming a file, the application writes there, as
// UTF-8 lines, every visible top-level window and its visible controls with their texts and
// screen rectangles, anew whenever what is shown changes:
//
//   window <x> <y> <width> <height> <active 0|1> <title>
//   control <class> <x> <y> <width> <height> <enabled 0|1> <text>
//   item <x> <y> <width> <height> <selected 0|1> <text>      (a row of a list shown)
//
// Texts are on one line (line breaks become spaces); the file is replaced whole, so a reader
// never sees half of it.
#pragma once

class QObject;
class QString;

// Starts writing the map to `file` (the application calls it when the variable is set). The
// writer belongs to the application; deleting it stops the map.
QObject* StartWindowMap(const QString& file);
