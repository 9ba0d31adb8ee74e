// Every window of the program, created once in a fixed order at start-up and reached through
// its global pointer until the process ends.
#pragma once

// The main window first (it becomes the application's main window).
void CreateMainWindow();
// The remaining windows, in their creation order; the splash is created and shown by the
// start-up sequence between the two steps.
void CreateRemainingWindows();
// Tests only: destroys every window and clears the global pointers.
void DestroyProgramWindows();
