#include "Render.h"

#include <QLabel>

using zentrova::MonitorColour;

QColor ColourOf(MonitorColour colour) {
    if (auto rgb = zentrova::RgbOf(colour)) {
        return QColor(rgb->r, rgb->g, rgb->b);
    }
    return {};
}

void SetLabelColour(QLabel* label, MonitorColour colour) {
    const QColor c = ColourOf(colour);
    if (!c.isValid()) {
        label->setAutoFillBackground(false);
        label->setPalette(QPalette());
        return;
    }
    QPalette p = label->palette();
    p.setColor(QPalette::Window, c);
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

QColor LabelBackground(const QLabel* label) {
    return label->autoFillBackground() ? label->palette().color(QPalette::Window) : QColor();
}
