#include "application.h"

#include "handler_guard.h"
#include "ui_services.h"

namespace kalvanta {

KalvantaApplication::KalvantaApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(kApplicationTitle);
}

bool KalvantaApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentError(nullptr);
    }
    return true;
}

} // namespace kalvanta
