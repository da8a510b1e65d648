// Progress meters: opened from meter records, updated step by step, stopped by the user.
#include "host/hxreq.h"

#include "hxhost/meter_observer.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"

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

// Open meters by record, with the index of each among the meters the host has shown. The records
// are the program's: a reset forgets them.
hx::LiveRegistry<const UReqMeter*, size_t>& openMeters()
{
    static hx::LiveRegistry<const UReqMeter*, size_t> meters{&hxhost::LiveCounts::meters, hx::OnReset::Forget};
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
    seen.steps = meter->steps;
    seen.style = meter->style;
    openMeters().add(meter, hx::state().meters.size());
    hx::state().meters.push_back(std::move(seen));
    tell(hx::state().meters.size() - 1, hxhost::MeterEvent::Opened);
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t ureqUpdateMeter(UReqMeter* meter, int32_t, int32_t done) HX_ENTRY
{
    hx::countCall("ureqUpdateMeter");
    const size_t* open = openMeters().find(meter);
    if (!open)
        return 0;
    hxhost::MeterSeen& seen = hx::state().meters[*open];
    seen.updates.push_back(done);
    if (!seen.stopped && hx::state().user && !hx::state().user->continueMeter(seen))
        seen.stopped = true;
    tell(*open, hxhost::MeterEvent::Updated);
    return hx::state().meters[*open].stopped ? 0 : 1;
}
HX_ENTRY_FAILS(0)

void ureqCloseMeter(UReqMeter* meter) HX_ENTRY
{
    hx::countCall("ureqCloseMeter");
    const size_t* open = openMeters().find(meter);
    if (!open)
        return;
    hx::state().meters[*open].closed = true;
    tell(*open, hxhost::MeterEvent::Closed);
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
