// The program's command-line arguments, kept once at start-up. The run mode is derived from
// them each time it is needed, never stored.
#pragma once

#include <string>
#include <vector>

void SetCommandLine(const std::vector<std::string>& arguments);
// Number of arguments after the program name.
int ParamCount();
// Argument i (1-based); empty when there is none.
std::string ParamStr(int index);

enum class RunMode { Interactive, Unattended, Uninstall };

// `args` are the command-line arguments after the program's own name, compared whole and
// case-sensitively: "uninstall" or "/uninstall" first is the uninstall mode, exactly one
// other argument is an unattended run with that letter string, anything else interactive.
RunMode DecideRunMode(const std::vector<std::string>& args);
// The mode of this process, from the arguments kept at start-up.
RunMode CurrentRunMode();

// The program's own file as a Windows path (what a restart runs).
std::string ProgramFilePath();
