// Ctrl-C, SIGTERM and SIGHUP: the run ends with status 130 and leaves nothing it made half-done. A step
// that can stop cleanly (an export, a session at the desktop window) is asked to stop; at any other
// time, or at a second signal, the process ends at once with its unfinished files removed.
#ifndef STILLSET_HOST_INTERRUPT_H
#define STILLSET_HOST_INTERRUPT_H

#include <functional>

// Called first in main, before any thread starts: from then on one thread takes the signals.
void watchForInterrupts();
// A signal has come.
bool interrupted();

// While it lives, a signal calls `stop` (from another thread) instead of ending the process.
class StopOnInterrupt {
public:
    explicit StopOnInterrupt(std::function<void()> stop = {});
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
};

#endif
