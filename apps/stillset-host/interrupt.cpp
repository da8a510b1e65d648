#include "interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;
struct sigaction previousInt, previousTerm;

extern "C" void noteSignal(int)
{
    caught = 1;
}

} // namespace

InterruptWatch::InterruptWatch()
{
    caught = 0;
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptWatch::~InterruptWatch()
{
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptWatch::interrupted() const
{
    return caught != 0;
}
