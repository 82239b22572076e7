#include "application.h"

#include <exception>

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
    } catch (const std::exception& e) {
        showError(e);
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
    return true;
}

} // namespace kalvanta
