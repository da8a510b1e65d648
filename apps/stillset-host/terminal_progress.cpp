#include "terminal_progress.h"

#include "progress_bar.h"

#include "hxhost/for_people.h"
#include "hxhost/meter_observer.h"
#include "hxhost/user.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace {

void show(std::optional<ProgressBar>& bar, const hxhost::MeterSeen& meter, hxhost::MeterEvent event)
{
    const std::string text = hxhost::utf8Of(meter.title);
    const uint32_t done = meter.updates.empty() ? 0 : static_cast<uint32_t>(std::max(meter.updates.back(), 0));
    if (event == hxhost::MeterEvent::Opened || !bar)
        bar.emplace(text);
    if (!bar->onTerminal()) {
        if (event == hxhost::MeterEvent::Updated)
            std::fprintf(stderr, "%s %u/%u%s\n", text.c_str(), done, meter.steps, meter.stopped ? " (stopped)" : "");
        return;
    }
    if (event == hxhost::MeterEvent::Closed) {
        bar->finish();
        return;
    }
    bar->show(done, meter.steps, meter.stopped ? "stopped" : "");
}

} // namespace

void showMetersOnTerminal()
{
    hxhost::setMeterObserver([bar = std::optional<ProgressBar>()](const hxhost::MeterSeen& meter,
                                                                   hxhost::MeterEvent event) mutable {
        show(bar, meter, event);
    });
}
