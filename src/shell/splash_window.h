#pragma once
// The splash window `Top`: shown and painted before anything else is made.
#include <QWidget>

class QLabel;

namespace kalvanta {

class Top : public QWidget {
    Q_OBJECT
public:
    explicit Top(QWidget* parent = nullptr);
    // Shows the window and paints it at once, before the event loop runs.
    void showAndPaint();
    QLabel* Image1 = nullptr;
};

} // namespace kalvanta
