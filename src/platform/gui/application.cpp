#include "platform/gui/application.h"

#include "platform/gui/shellicons.h"
#include "platform/gui/window_map.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"

#include <stdexcept>

HostedApplication::HostedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    CoInitialize(nullptr);
    InstallSystemIcons();
    if (qEnvironmentVariableIsSet("SURFKOLIBRI_WINDOW_MAP"))
        StartWindowMap(qEnvironmentVariable("SURFKOLIBRI_WINDOW_MAP"));
}

HostedApplication::~HostedApplication() {
    CoUninitialize();
}

bool HostedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("An unexpected error occurred."));
    }
    return false;
}

void ShowException(const std::exception& error) {
    std::string text = error.what();
    // As the framework shows errors: a sentence ends in a full stop.
    if (!text.empty() && text.back() != '.' && text.back() != '!' && text.back() != '?')
        text += '.';
    const QString name = QCoreApplication::applicationName();
    const std::string caption = name.isEmpty() ? std::string("Error") : QStringToAnsi(name);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONHAND);
}
