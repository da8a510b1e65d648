// A progress bar on standard error when it is a terminal: frames done, frames a second, time left.
#ifndef STILLSET_HOST_PROGRESS_BAR_H
#define STILLSET_HOST_PROGRESS_BAR_H

#include <chrono>
#include <cstdint>

class ProgressBar {
public:
    ProgressBar();
    // Redraws at most ten times a second, and always at the end.
    void show(int64_t done, int64_t total);
    // Ends the bar's line.
    void finish();

private:
    bool terminal_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_, lastDrawn_;
};

#endif
