// Kalvanta 4.5: start-up of the desktop program.
#include <QTimer>

#include "busy_work.h"
#include "drawn_pictures.h"
#include "main_window.h"
#include "program_windows.h"
#include "splash_window.h"
#include "ui/application.h"
#include "ui/ui_services.h"
#include "window_helpers.h"

int main(int argc, char** argv)
{
    using namespace kalvanta;
    KalvantaApplication app(argc, argv);
    app.setFont(interfaceFont(8));
    app.setWindowIcon(pictures::programIcon());
    // Closing the main window ends the program, whatever else is open.
    app.setQuitOnLastWindowClosed(false);

    auto splash = std::make_unique<Top>();
    splash->showAndPaint();

    app.setApplicationName(kApplicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("kalvanta"));

    ProgramWindows windows;
    TForm1* main = windows.mainWindow();
    QObject::connect(main, &TForm1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    startupPause();

    main->show();
    // Once the main window is up it covers the splash; then the splash goes.
    QTimer::singleShot(0, splash.get(), [&splash] { splash->hide(); });
    // Files named on the command line open once the main window is up:
    // report documents into the view, statements and input sets into the wizard.
    QStringList files = app.arguments().mid(1);
    if (!files.isEmpty() && files.first() == QLatin1String("--"))
        files.removeFirst();
    for (const QString& file : files)
        QTimer::singleShot(0, main, [&windows, file] { windows.openFile(file); });

    const int result = app.exec();
    splash.reset();
    return result;
}
