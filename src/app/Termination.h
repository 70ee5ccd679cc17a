// SIGINT and SIGTERM close the main window the normal way, so the port is
// closed and everything the close path saves is saved.
#pragma once

class QWidget;

void CloseOnTerminationSignals(QWidget* window);
