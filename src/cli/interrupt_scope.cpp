#include "interrupt_scope.h"

namespace kalvanta::cli {

std::atomic<bool> interrupted{false};

namespace {
extern "C" void onInterrupt(int) { interrupted = true; }
} // namespace

InterruptScope::InterruptScope()
{
    interrupted = false;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &oldInt_);
    ::sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptScope::~InterruptScope()
{
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
}

std::string plural(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace kalvanta::cli
