// hxreq windows: opened from request records, closed with them.
#include "windows.h"

#include "host_state.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<UgWindow*>& liveWindows()
{
    static std::vector<UgWindow*> windows;
    return windows;
}

UgGadget& lastGadgetId()
{
    static UgGadget id = 0;
    return id;
}

} // namespace

namespace hx {

bool isLiveWindow(const UgWindow* window)
{
    return window && std::find(liveWindows().begin(), liveWindows().end(), window) != liveWindows().end();
}

UgGadget newGadgetId()
{
    return ++lastGadgetId();
}

void resetWindows()
{
    for (UgWindow* window : liveWindows())
        delete window;
    liveWindows().clear();
    lastGadgetId() = 0;
}

} // namespace hx

extern "C" {

int32_t ureqCreateRequest(UReqRequest* request)
{
    if (hx::shouldFail("ureqCreateRequest") || !request)
        return 1;
    auto* window = new UgWindow{};
    window->id = static_cast<uint32_t>(liveWindows().size() + 1);
    window->width = static_cast<int32_t>(request->size & 0xFFFF);
    window->height = static_cast<int32_t>(request->size >> 16);
    window->flags = request->flags;
    if (request->title)
        window->title = request->title;
    window->queue = request->queue;
    if (request->flags != UREQ_MAIN_WINDOW) {
        window->okGadget = hx::newGadgetId();
        window->cancelGadget = hx::newGadgetId();
    }
    request->window = window;
    request->okGadget = window->okGadget;
    request->cancelGadget = window->cancelGadget;
    liveWindows().push_back(window);
    ++hx::state().live.windows;
    return 0;
}

void ureqDeleteRequest(UReqRequest* request)
{
    hx::countCall("ureqDeleteRequest");
    if (!request || !hx::isLiveWindow(request->window))
        return;
    liveWindows().erase(std::find(liveWindows().begin(), liveWindows().end(), request->window));
    delete request->window;
    request->window = nullptr;
    --hx::state().live.windows;
}

} // extern "C"
