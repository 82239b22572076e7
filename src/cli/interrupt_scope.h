#pragma once
// Ctrl+C or a termination request stops a table run between files (or
// blocks of rows), so its temporary table file is removed rather than left
// behind. Shared by the table modes of kalvanta-report.
#include <atomic>
#include <csignal>
#include <string>

namespace kalvanta::cli {

inline constexpr int kExitInterrupted = 130; // as a shell reports a run ended by Ctrl+C

// Set by the handler while an InterruptScope is alive; the runs poll it.
extern std::atomic<bool> interrupted;

class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// "3 rows", "1 row".
std::string plural(std::size_t n, const char* one, const char* many);

} // namespace kalvanta::cli
