#include "Application.h"

#include "Dialogs.h"

#include <exception>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zentrova"));
    setApplicationDisplayName(QStringLiteral("Zentrova"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (dialogs_ != nullptr) {
            ShowException(*dialogs_, e.what());
        }
    }
    return false;
}

void ShowException(Dialogs& dialogs, const char* what) {
    dialogs.Error(nullptr, QString::fromUtf8(what));
}
