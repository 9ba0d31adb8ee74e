// The unattended run started by the main window in unattended mode.
#pragma once

// Today it cleans nothing: it stops the start-up timer and closes the main window, which
// ends the program.
void RunAutomaticCleaning();
