#pragma once
// Up-down arrows with a position in a range: a press first runs the
// "changing" handler, then moves the position and runs the "click"
// handler. A press at an end of the range does nothing.
#include <QWidget>

#include <functional>

class QToolButton;

namespace kalvanta::plan_ui {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int position() const { return position_; }
    // Sets the position without running the handlers.
    void setPosition(int position);

    // changing runs before the position moves; an exception from it leaves
    // the position as it was and skips click.
    void setHandlers(std::function<void()> changing, std::function<void()> click);

    // An arrow press: +1 for up, -1 for down.
    void step(int delta);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    std::function<void()> changing_;
    std::function<void()> click_;
};

} // namespace kalvanta::plan_ui
