// Progress meters: opened from meter records, updated step by step, stopped by the user.
#include "host/hxreq.h"

#include "hxhost/meter_observer.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <map>

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

// Open meters by record, as an index into the meters the host has shown.
std::map<const UReqMeter*, size_t>& openMeters()
{
    static std::map<const UReqMeter*, size_t> meters;
    return meters;
}

} // namespace

namespace hx {

void resetMeters()
{
    openMeters().clear();
}

} // namespace hx

extern "C" {

int32_t ureqOpenMeter(UReqMeter* meter) HX_ENTRY
{
    if (hx::shouldFail("ureqOpenMeter") || !meter || openMeters().count(meter))
        return -1;
    hxhost::MeterSeen seen;
    if (meter->title)
        seen.title = meter->title;
    seen.steps = meter->steps;
    seen.style = meter->style;
    openMeters()[meter] = hx::state().meters.size();
    hx::state().meters.push_back(std::move(seen));
    ++hx::state().live.meters;
    tell(hx::state().meters.size() - 1, hxhost::MeterEvent::Opened);
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t ureqUpdateMeter(UReqMeter* meter, int32_t, int32_t done) HX_ENTRY
{
    hx::countCall("ureqUpdateMeter");
    auto open = openMeters().find(meter);
    if (open == openMeters().end())
        return 0;
    hxhost::MeterSeen& seen = hx::state().meters[open->second];
    seen.updates.push_back(done);
    if (!seen.stopped && hx::state().user && !hx::state().user->continueMeter(seen))
        seen.stopped = true;
    tell(open->second, hxhost::MeterEvent::Updated);
    return hx::state().meters[open->second].stopped ? 0 : 1;
}
HX_ENTRY_FAILS(0)

void ureqCloseMeter(UReqMeter* meter) HX_ENTRY
{
    hx::countCall("ureqCloseMeter");
    auto open = openMeters().find(meter);
    if (open == openMeters().end())
        return;
    hx::state().meters[open->second].closed = true;
    tell(open->second, hxhost::MeterEvent::Closed);
    openMeters().erase(open);
    --hx::state().live.meters;
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
