// The hosted runner's console is the host's terminal, which reads UTF-8 as it is.
#include "automation/ConsoleCleaning.h"

void UseUtf8ConsoleOutput() {}
