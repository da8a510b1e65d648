// Progress meters: opened from meter records, updated step by step, stopped by the user.
#include "host/hxreq.h"

#include "gui/requesters/meter_window.h"
#include "hxhost/meter_observer.h"
#include "hxhost/testing.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"

#include <memory>

namespace {

hxhost::MeterObserver& observer()
{
    static hxhost::MeterObserver watching;
    return watching;
}

void tell(size_t meter, hxhost::MeterEvent event)
{
    if (observer())
        observer()(hx::state().meters[meter], event);
}

struct OpenMeter {
    size_t index = 0; // among the meters the host has shown
    std::shared_ptr<hx::MeterWindow> shown;
};

// Open meters by record. The records are the program's: a reset forgets them.
hx::LiveRegistry<const UReqMeter*, OpenMeter>& openMeters()
{
    static hx::LiveRegistry<const UReqMeter*, OpenMeter> meters{&hxhost::LiveCounts::meters, hx::OnReset::Forget};
    return meters;
}

} // namespace

extern "C" {

int32_t ureqOpenMeter(UReqMeter* meter) HX_ENTRY
{
    if (hx::shouldFail("ureqOpenMeter") || !meter || openMeters().contains(meter))
        return -1;
    hxhost::MeterSeen seen;
    if (meter->title)
        seen.title = meter->title;
    seen.titleWidth = meter->titleWidth;
    seen.steps = meter->steps;
    seen.style = meter->style;
    auto shown = std::make_shared<hx::MeterWindow>(seen.title, seen.steps);
    openMeters().add(meter, OpenMeter{hx::state().meters.size(), std::move(shown)});
    hx::state().meters.push_back(std::move(seen));
    tell(hx::state().meters.size() - 1, hxhost::MeterEvent::Opened);
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t ureqUpdateMeter(UReqMeter* meter, int32_t, int32_t done) HX_ENTRY
{
    hx::countCall("ureqUpdateMeter");
    const OpenMeter* open = openMeters().find(meter);
    if (!open)
        return 0;
    const size_t index = open->index;
    open->shown->show(done);
    hxhost::MeterSeen& seen = hx::state().meters[index];
    seen.updates.push_back(done);
    if (!seen.stopped && hx::state().user && !hx::state().user->continueMeter(seen))
        seen.stopped = true;
    tell(index, hxhost::MeterEvent::Updated);
    return hx::state().meters[index].stopped ? 0 : 1;
}
HX_ENTRY_FAILS(0)

void ureqCloseMeter(UReqMeter* meter) HX_ENTRY
{
    hx::countCall("ureqCloseMeter");
    const OpenMeter* open = openMeters().find(meter);
    if (!open)
        return;
    const size_t index = open->index;
    hx::state().meters[index].closed = true;
    tell(index, hxhost::MeterEvent::Closed);
    openMeters().remove(meter);
}
HX_ENTRY_FAILS_VOID

} // extern "C"

namespace hxhost {

void setMeterObserver(MeterObserver watching)
{
    observer() = std::move(watching);
}

std::vector<MeterSeen> metersSeen()
{
    return hx::state().meters;
}

} // namespace hxhost
