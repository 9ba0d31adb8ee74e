// Pending window messages on Windows: each round hands on what the thread's queue holds.
#include "platform/win32.h"
#include "ui/MyTricks.h"

void ProcessMessages(int times) {
    MSG message;
    for (int i = 0; i < times; ++i)
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
}
