// The unattended run: started by the main window in unattended mode, it performs the
// cleanings its letter string selects under the busy window's progress bar, reports success
// when asked to, and closes the main window, which ends the program.
#pragma once

#include "automation/CleaningRun.h"

#include <string>

class TIECache;

// Reads the letters from command-line argument 1. The steps run in a fixed order whatever the
// order of the letters; a step that fails ends only itself, and the run always ends with the
// busy window and the main window closed. The cache is the main window's component (IECache1);
// the main window itself is the one registered on the shared floor.
void RunAutomaticCleaning(TIECache& mainCache);
// What the run with these letters would remove now, counted by the run's own cleanings
// without removing anything, over the same components.
RunSummary PreviewAutomaticCleaning(const std::string& options, TIECache& mainCache);
