#include "Dialogs.h"

#include <QApplication>
#include <QMessageBox>

void QtDialogs::Message(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
}
