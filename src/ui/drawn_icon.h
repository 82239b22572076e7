#pragma once
// Icons drawn with QPainter, so that no picture is taken from elsewhere.
#include <QIcon>

#include <functional>

class QPainter;

namespace kalvanta {

// Draws in a 16 × 16 space and renders the sizes menus and tool bars use.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw);

} // namespace kalvanta
