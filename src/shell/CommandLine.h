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

// The program's own file as a Windows path (what a restart runs).
std::string ProgramFilePath();
