// Every modal box and file dialog of the window goes through this interface,
// so tests can answer them without a person.
#pragma once

#include <QString>

class QWidget;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal message box with one text of the message table.
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // The application's error box for an exception that escaped a handler.
    virtual void Error(QWidget* parent, const QString& text) = 0;
};

// The real boxes.
class QtDialogs : public Dialogs {
public:
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
};
