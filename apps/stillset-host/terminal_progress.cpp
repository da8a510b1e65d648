#include "terminal_progress.h"

#include "hxhost/hxhost.h"
#include "hxhost/meter_observer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kBarWidth = 30;

struct Shown {
    Clock::time_point opened;
    bool terminal = false;
};

std::string timeLeft(const Shown& shown, uint32_t done, uint32_t steps)
{
    if (done == 0 || done >= steps)
        return "";
    const double elapsed = std::chrono::duration<double>(Clock::now() - shown.opened).count();
    const long seconds = static_cast<long>(elapsed / done * (steps - done) + 0.5);
    return " " + std::to_string(seconds / 60) + ":" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60) +
           " left";
}

void show(Shown& shown, const hxhost::MeterSeen& meter, hxhost::MeterEvent event)
{
    const std::string text = hxhost::utf8Of(meter.title);
    const uint32_t done = meter.updates.empty() ? 0 : static_cast<uint32_t>(std::max(meter.updates.back(), 0));
    const uint32_t steps = meter.steps;
    if (event == hxhost::MeterEvent::Opened)
        shown = Shown{Clock::now(), isatty(fileno(stderr)) != 0};
    if (!shown.terminal) {
        if (event == hxhost::MeterEvent::Updated)
            std::fprintf(stderr, "%s %u/%u%s\n", text.c_str(), done, steps, meter.stopped ? " (stopped)" : "");
        return;
    }
    if (event == hxhost::MeterEvent::Closed) {
        std::fputc('\n', stderr);
        return;
    }
    const size_t filled = steps ? std::min<size_t>(done, steps) * kBarWidth / steps : 0;
    std::fprintf(stderr, "\r%s [%s%s] %u/%u%s%s\033[K", text.c_str(), std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, '.').c_str(), done, steps, timeLeft(shown, done, steps).c_str(),
                 meter.stopped ? " stopped" : "");
    std::fflush(stderr);
}

} // namespace

void showMetersOnTerminal()
{
    hxhost::setMeterObserver([shown = Shown{}](const hxhost::MeterSeen& meter, hxhost::MeterEvent event) mutable {
        show(shown, meter, event);
    });
}
