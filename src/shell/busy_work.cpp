#include "busy_work.h"

namespace kalvanta {

// The accumulators are volatile: every addition is a real load and store,
// so the optimiser can neither fold nor drop the loops.
double startupPause()
{
    volatile double accumulator = 0.0;
    for (int round = 0; round < kStartupPauseRounds; ++round) {
        accumulator = 0.0;
        for (int i = 0; i < kStartupPauseAdditions; ++i)
            accumulator = accumulator + 1.0;
    }
    return accumulator;
}

long long progressStepWork()
{
    volatile long long counter = 0;
    for (int round = 0; round < kProgressRoundsPerStep; ++round)
        for (int i = 0; i < kProgressIterationsPerRound; ++i)
            counter = counter + 1;
    return counter;
}

} // namespace kalvanta
