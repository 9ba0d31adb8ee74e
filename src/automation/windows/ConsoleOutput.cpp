// Windows' console shows the bytes a program writes in its output code page: told UTF-8, it
// shows every letter of every language the runner speaks.
#include "automation/ConsoleCleaning.h"
#include "platform/win32.h"

void UseUtf8ConsoleOutput() {
    SetConsoleOutputCP(CP_UTF8);
}
