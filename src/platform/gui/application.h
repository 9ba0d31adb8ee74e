// The application object of the program's windows. An exception that reaches the message
// loop (for example an I/O error of a handler) is shown in a message box with its text, and
// the program goes on; the box goes through the modal seam like every other.
#pragma once

#include <QApplication>

#include <exception>
#include <stdexcept>

class HostedApplication : public QApplication {
  public:
    // Initialises COM for the window thread, as the windowing layer does on Windows.
    HostedApplication(int& argc, char** argv);
    ~HostedApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;
};

// The general error display: MessageBoxA with the error's text, MB_OK | MB_ICONHAND, the
// application's name as caption.
void ShowException(const std::exception& error);

// Runs an event handler of the program, showing an exception it throws with the general error
// display. Controls call their handlers through it, so that an exception never unwinds through
// the toolkit's own event delivery, which has no clean-ups for it.
template <class Handler> void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("An unexpected error occurred."));
    }
}
