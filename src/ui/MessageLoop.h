// The program's message loop: it runs from the end of start-up until the main window
// closes.
#pragma once

int RunMessageLoop();
// Ends the loop if it is running (closing the main window calls this). Outside the loop, as
// in tests, nothing happens, so later modal windows still run their own loops.
void EndMessageLoop();
