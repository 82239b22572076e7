#pragma once
// Fixed amounts of processor work that stand for the program's two waits.
// The iteration counts, not a time, fix their length.

namespace kalvanta {

inline constexpr int kStartupPauseRounds = 288;
inline constexpr int kStartupPauseAdditions = 65000;
inline constexpr int kProgressSteps = 100;
inline constexpr int kProgressRoundsPerStep = 44;
inline constexpr int kProgressIterationsPerRound = 50000;

// 288 rounds of 65 000 additions of 1.0 to a zeroed accumulator.
// Returns the last round's sum (65000) so a caller may check the work ran.
double startupPause();

// One step of the progress run: 44 rounds of 50 000 iterations.
// Returns the number of iterations done.
long long progressStepWork();

} // namespace kalvanta
