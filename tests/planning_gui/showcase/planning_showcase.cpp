// Opens one planning calculator with its worked example computed, for a
// look at the window on a real display:
//   planning_showcase plan|rez|kred|invest
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "planning_gui/planning_windows.h"
#include "ui/application.h"

using namespace kalvanta;

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("plan");
    PlanningWindows windows;
    windows.createAll();

    if (which == "plan" || which == "rez") {
        windows.openProduction();
        if (which == "rez")
            QTimer::singleShot(300, windows.plan()->Button1, &QPushButton::click);
        return app.exec();
    }
    if (which == "kred") {
        QTimer::singleShot(300, windows.kred(), [&windows] {
            Tkred* k = windows.kred();
            k->Button3Click();
            k->ComboBox1->setCurrentIndex(1);
            k->Button3Click();
        });
        windows.openCredits();
        return 0;
    }
    QTimer::singleShot(300, windows.invest(), [&windows] { windows.invest()->Button3Click(); });
    windows.openInvestments();
    return 0;
}
