// The unattended run started by the main window in unattended mode.
#pragma once

// Placeholder until the cleaning operations arrive: it stops the start-up timer and closes
// the main window, which ends the program, without cleaning anything.
void RunAutomaticCleaning();
