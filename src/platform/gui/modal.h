// The modal seam. Every modal window of the program, the platform's own dialogs and message
// boxes included, is shown through ShowModalWindow. Without a hook a modal window runs its own
// event loop until it is hidden. With a hook (tests), the window is shown, the hook runs (it
// may inspect the window, press its buttons, or call RunModalLoop to wait for it), and a
// window still open afterwards is closed.
#pragma once

#include <functional>

class QWidget;

using ModalHook = std::function<void(QWidget* window)>;
void SetModalHook(ModalHook hook);
void ShowModalWindow(QWidget* window);
void RunModalLoop(QWidget* window);
