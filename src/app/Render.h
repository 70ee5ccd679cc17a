// Putting the core's view models onto widgets.
#pragma once

#include "link/Monitor.h"

#include <QColor>

class QLabel;
class QWidget;

// A widget filled with its own background colour.
void SetBackground(QWidget* widget, const QColor& colour);

// The label's background: Normal is the window's own button-face colour.
void SetLabelColour(QLabel* label, zentrova::MonitorColour colour);
QColor ColourOf(zentrova::MonitorColour colour);
// The background a label shows now, for tests: invalid when it has none of its own.
QColor LabelBackground(const QLabel* label);
