// Device contexts and fonts over Qt: a device context is a painter open on its target, a font
// handle stands for one font for as long as the process runs.
#pragma once

#include "platform/win32_types.h"

class QFont;
class QPainter;
class QWidget;

HFONT FontHandle(const QFont& font);
// False for anything that is no font handle.
bool FontOfHandle(HFONT handle, QFont& font);
// Makes an open painter a fresh device context for a widget: its font, its text colour,
// text drawn opaque on white.
HDC PrepareDeviceContext(QPainter& painter, const QWidget* widget);
// The handle to pass for a painter, as it is; valid while the painter is.
HDC DeviceContextFor(QPainter& painter);
