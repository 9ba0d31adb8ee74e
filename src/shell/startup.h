// The program's entry sequence: data-file provisioning, the translation engine, the run mode
// from the command line, the language marker's version check, the windows and the message
// loop.
#pragma once

#include <string>
#include <vector>

#include "ui/CommandLine.h"

// Argument 1 "r" asks for the start-up shortcuts to go before any window shows.
bool WantsShortcutRemoval(const std::vector<std::string>& args);

// The files copied from the program folder into the data folder at every start.
const std::vector<std::string>& StartupDataFiles();

// When the language marker was written by another version (or is missing), drops the marker
// and makes language 0 the current language file. Returns whether it did so.
bool PerformVersionCheck();

// Tells the user that the machine's state cannot be used (on standard error, and in a message
// box where there is a screen).
void ReportUnusableMachine(const std::string& problem);

// The whole start-up, the message loop and the end; the process's exit code.
int RunProgram(int argc, char** argv);
