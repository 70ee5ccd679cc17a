// Answers the window's boxes without a person and remembers what was shown.
#pragma once

#include "Dialogs.h"

#include <QStringList>

class RecordingDialogs : public Dialogs {
public:
    QStringList messages;
    QStringList errors;
    void Message(QWidget*, const QString& text) override { messages << text; }
    void Error(QWidget*, const QString& text) override { errors << text; }
};
