// A gadget and the handler of its events: what a requester hands the event loop's table.
#ifndef STILLSET_GUI_GADGET_ROUTE_H
#define STILLSET_GUI_GADGET_ROUTE_H

#include "host/hxgui.h"

#include <span>

struct GadgetRoute {
    const UgGadget* gadget; // read at every event: the requester fills it in when it opens
    void (*handle)(const UgMessage& message);
};

using GadgetRoutes = std::span<const GadgetRoute>;

// The route's handler for one that needs nothing of the event.
template <void (*Handle)()> void ignoringEvent(const UgMessage&)
{
    Handle();
}

#endif
