// The application object of the program's windows. An exception that reaches the message
// loop (for example an I/O error of a handler) is shown in a message box with its text, and
// the program goes on; the box goes through the modal seam like every other.
#pragma once

#include <QApplication>

#include <exception>

class HostedApplication : public QApplication {
  public:
    HostedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The general error display: MessageBoxA with the error's text, MB_OK | MB_ICONHAND, the
// application's name as caption.
void ShowException(const std::exception& error);
