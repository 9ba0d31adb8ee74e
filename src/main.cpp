#include "platform/win32.h"

#include <cstdio>

int main() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::printf("Surfkolibri 2.8 (%s)\n", path);
    return 0;
}
