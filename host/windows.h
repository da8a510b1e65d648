// The host's windows: created from request records, deleted with them.
#ifndef HX_WINDOWS_H
#define HX_WINDOWS_H

#include "host/hxgui.h"
#include "host/hxreq.h"

#include <string>

struct UgWindow {
    uint32_t id;
    int32_t width;
    int32_t height;
    uint32_t flags;
    std::u16string title;
    MsgQueue* queue;
    UgGadget okGadget;
    UgGadget cancelGadget;
};

namespace hx {

bool isLiveWindow(const UgWindow* window);
UgGadget newGadgetId();

} // namespace hx

#endif
