#include "application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "handler_guard.h"
#include "ui_services.h"

namespace kalvanta {

KalvantaApplication::KalvantaApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(kApplicationTitle);
    // Qt's own dialogs and buttons speak the system's language; the
    // program's texts are its own and stay as they are.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
    else
        delete qtTexts;
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
