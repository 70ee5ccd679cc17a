#include "Render.h"

#include <QLabel>

using zentrova::MonitorColour;

QColor ColourOf(MonitorColour colour) {
    if (auto rgb = zentrova::RgbOf(colour)) {
        return QColor(rgb->r, rgb->g, rgb->b);
    }
    return {};
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void SetLabelColour(QLabel* label, MonitorColour colour) {
    const QColor c = ColourOf(colour);
    if (!c.isValid()) {
        label->setAutoFillBackground(false);
        label->setPalette(QPalette());
        return;
    }
    SetBackground(label, c);
}

QColor LabelBackground(const QLabel* label) {
    return label->autoFillBackground() ? label->palette().color(QPalette::Window) : QColor();
}
