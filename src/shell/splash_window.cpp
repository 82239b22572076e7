#include "splash_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QWindow>

#include "drawn_pictures.h"
#include "window_helpers.h"

namespace kalvanta {

namespace {
// How long to wait for the window system to map the splash before painting.
constexpr int kMapWaitMs = 500;
} // namespace

Top::Top(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Top"));
    setAccessibleName(QStringLiteral("Kalvanta 4.5"));
    setWhiteBackground(this);
    setFixedSize(530, 358);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture = QPixmap::fromImage(pictures::splashPicture());
    Image1->setPixmap(picture);
    // The picture is taller than the window; its lower edge is cut off.
    Image1->setGeometry(4, 0, picture.width(), picture.height());
    centerOnScreen(this);
}

void Top::showAndPaint()
{
    show();
    // The window system maps the window asynchronously; paint once it is there.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kMapWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kalvanta
