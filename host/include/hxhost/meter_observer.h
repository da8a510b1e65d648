// Watching the progress meters a plug-in runs, e.g. to show them on a terminal.
#ifndef HXHOST_METER_OBSERVER_H
#define HXHOST_METER_OBSERVER_H

#include "hxhost/api.h"
#include "hxhost/user.h"

#include <functional>

namespace hxhost {

enum class MeterEvent { Opened, Updated, Closed };
// Called after each change of a meter, with the meter as the host keeps it; none by default.
using MeterObserver = std::function<void(const MeterSeen& meter, MeterEvent event)>;
HXHOST_API void setMeterObserver(MeterObserver observer);

} // namespace hxhost

#endif
