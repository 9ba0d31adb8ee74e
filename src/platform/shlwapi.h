// Path helpers of the shell's light-weight utility library.
#pragma once

#include "platform/win32_types.h"

// Shortens a path (a buffer of MAX_PATH characters) to fit dx pixels in the DC's font (the
// program's font for a null DC) by putting "..." in place of its middle: the start of the path
// and its last part after the last backslash stay. FALSE when even "..." and the last part are
// wider than dx; the buffer then holds them anyway.
BOOL PathCompactPathA(HDC dc, LPSTR path, UINT dx);
