// Shows one wizard dialog with its initial texts, as at the first opening,
// for screenshots: wizard_showcase tpar|assets|liabilities|profit_loss|additional
#include <QApplication>
#include <QTimer>

#include <cstring>
#include <memory>

#include "ui/application.h"
#include "wizard/wizard_windows.h"

using namespace kalvanta;

int main(int argc, char** argv)
{
    KalvantaApplication app(argc, argv);
    const char* which = argc > 1 ? argv[1] : "tpar";
    AnalysisInput input = startupInput();
    Tdopol dopol(input);
    TForm2 form2(input);
    Tdoubl doubl(input);
    TForm3 form3(input);
    Tdabl dabl(input);
    Tform6 form6(input);
    Tpar par(input);
    wireWizard(&par, &form2, &doubl, &form3, &dabl, &form6, &dopol, {});
    // The reference block shows what the earlier dialogs stored.
    input = workedExample();
    input.AnalysisParameters.AnalysisPending = 0.0;

    QWidget* shown = &par;
    if (std::strcmp(which, "assets") == 0)
        shown = &form2;
    else if (std::strcmp(which, "liabilities") == 0)
        shown = &form3;
    else if (std::strcmp(which, "profit_loss") == 0)
        shown = &form6;
    else if (std::strcmp(which, "additional") == 0)
        shown = &dopol;
    bringToFront(shown);
    if (argc > 2)
        QTimer::singleShot(std::atoi(argv[2]), &app, &QApplication::quit);
    return app.exec();
}
