// Runs every wizard test class in one application object that, like the
// program's, shows exceptions leaving event handlers with the error display.
#include "ui/application.h"

int runParametersTests(int argc, char** argv);
int runBalanceSheetTests(int argc, char** argv);
int runProfitLossTests(int argc, char** argv);
int runAdditionalDataTests(int argc, char** argv);
int runKeystrokeTests(int argc, char** argv);
int runRoadTests(int argc, char** argv);
int runWindowTests(int argc, char** argv);
int runFillTests(int argc, char** argv);

int main(int argc, char** argv)
{
    kalvanta::KalvantaApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runParametersTests, runBalanceSheetTests, runProfitLossTests, runAdditionalDataTests,
                     runKeystrokeTests, runRoadTests, runWindowTests, runFillTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
