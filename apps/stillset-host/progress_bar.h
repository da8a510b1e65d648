// A progress bar on standard error when it is a terminal, one line redrawn in place:
// "LABEL [#########.....................] DONE/TOTAL UNIT  RATE UNIT/s  M:SS left NOTE".
#ifndef STILLSET_HOST_PROGRESS_BAR_H
#define STILLSET_HOST_PROGRESS_BAR_H

#include <chrono>
#include <cstdint>
#include <string>

class ProgressBar {
public:
    // `label` leads the line (none when empty); a `unit` names what is counted and adds the rate.
    explicit ProgressBar(std::string label, std::string unit = {});
    // Whether standard error is a terminal: without one the bar draws nothing.
    bool onTerminal() const { return terminal_; }
    // Redraws at most ten times a second, and always at the end and when the note changes.
    void show(int64_t done, int64_t total, const std::string& note = {});
    // Draws the last state if it was not drawn, and ends the bar's line.
    void finish();

private:
    void draw();

    std::string label_, unit_;
    bool terminal_;
    bool drawn_ = false, pending_ = false;
    int64_t done_ = 0, total_ = 0;
    std::string note_;
    std::chrono::steady_clock::time_point start_, lastDrawn_;
};

#endif
