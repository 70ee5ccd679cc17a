// The application object: an exception that escapes an event handler is
// shown in the error box and the message loop goes on.
#pragma once

#include <QApplication>

class Dialogs;

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

private:
    Dialogs* dialogs_ = nullptr;
};

// Shows an exception's text in the error box.
void ShowException(Dialogs& dialogs, const char* what);
