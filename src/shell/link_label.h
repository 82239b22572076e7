#pragma once
// A label drawn as a link (green, underlined, hand pointer) that opens
// something when clicked, or from the keyboard with Enter or Space.
#include <QLabel>

namespace kalvanta {

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    // Screen readers see a link with a press action.
    static void installAccessibility();

signals:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
};

} // namespace kalvanta
