// Ctrl-C (SIGINT) and SIGTERM during a long job: noted, so the job stops at its next step and
// cleans up, rather than the process dying with a half-written file.
#ifndef STILLSET_HOST_INTERRUPT_H
#define STILLSET_HOST_INTERRUPT_H

// Catches the signals from now until the object goes.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
    bool interrupted() const;
};

#endif
