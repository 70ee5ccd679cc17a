#include "CGauge.h"

#include <QPainter>

#include <algorithm>

CGauge::CGauge(const QString& name, QColor bar, QWidget* parent) : QWidget(parent), bar_(bar) {
    setObjectName(name);
}

void CGauge::setPosition(int position) {
    if (position != position_) {
        position_ = position;
        update();
    }
}

void CGauge::setMaxValue(int max) {
    if (max != max_) {
        max_ = max;
        update();
    }
}

void CGauge::setBarColor(QColor color) {
    if (color != bar_) {
        bar_ = color;
        update();
    }
}

void CGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().base());
    const int shown = std::clamp(position_, 0, std::max(max_, 0));
    if (max_ > 0 && shown > 0) {
        const int width = static_cast<int>(static_cast<long long>(frame.width()) * shown / max_);
        p.fillRect(QRect(frame.left() + 1, frame.top() + 1, width, frame.height() - 1), bar_);
    }
    p.setPen(palette().dark().color());
    p.drawRect(frame);
}
