// Runs every planning window test class in one application object that,
// like the program's, shows exceptions leaving event handlers with the
// error display.
#include "ui/application.h"

int runPlanWindowTests(int argc, char** argv);
int runCreditWindowTests(int argc, char** argv);
int runInvestWindowTests(int argc, char** argv);
int runPlanningWindowsTests(int argc, char** argv);

int main(int argc, char** argv)
{
    kalvanta::KalvantaApplication app(argc, argv);
    int failed = 0;
    for (auto run : {runPlanWindowTests, runCreditWindowTests, runInvestWindowTests, runPlanningWindowsTests})
        failed += run(argc, argv);
    return failed == 0 ? 0 : 1;
}
