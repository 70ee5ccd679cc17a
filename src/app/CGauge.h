// A flat bar gauge without text: a bar of settable colour from the left,
// filled to position / maximum.
#pragma once

#include <QColor>
#include <QWidget>

class CGauge : public QWidget {
    Q_OBJECT
public:
    explicit CGauge(const QString& name, QColor bar, QWidget* parent = nullptr);

    int position() const { return position_; }
    int maxValue() const { return max_; }
    QColor barColor() const { return bar_; }
    void setPosition(int position);
    void setMaxValue(int max);
    void setBarColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int position_ = 0;
    int max_ = 100;
    QColor bar_;
};
