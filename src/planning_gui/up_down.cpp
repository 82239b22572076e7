#include "up_down.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "planning_gui_support.h"

namespace kalvanta::plan_ui {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    up_->setFixedSize(18, 12);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    down_->setFixedSize(18, 12);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { runHandler(window(), [this] { step(1); }); });
    connect(down_, &QToolButton::clicked, this, [this] { runHandler(window(), [this] { step(-1); }); });
}

void UpDown::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = std::clamp(position_, minimum_, maximum_);
}

void UpDown::setPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

void UpDown::setHandlers(std::function<void()> changing, std::function<void()> click)
{
    changing_ = std::move(changing);
    click_ = std::move(click);
}

void UpDown::step(int delta)
{
    const int target = std::clamp(position_ + delta, minimum_, maximum_);
    if (target == position_)
        return;
    if (changing_)
        changing_();
    position_ = target;
    if (click_)
        click_();
}

} // namespace kalvanta::plan_ui
