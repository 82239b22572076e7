#include "window_helpers.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace kalvanta {

QFont interfaceFont(int pointSize)
{
    QFont font(kInterfaceFontFamily, pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void setCaption(QWidget* window, const QString& caption)
{
    QString title = caption;
    // Qt shows "[*][*]" as a literal "[*]".
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    window->setWindowTitle(title);
    window->setAccessibleName(caption);
}

void centerOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    if (frame.width() < window->width() || frame.height() < window->height())
        frame.setSize(window->size());
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

void setWhiteBackground(QWidget* window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace kalvanta
