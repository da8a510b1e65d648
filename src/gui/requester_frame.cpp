#include "requester_frame.h"

#include "gadget_helpers.h"
#include "layout_units.h"
#include "stillset/log.h"

#include <cstring>

UgWindow* openRequester(const RequesterSpec& spec)
{
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    if (session.requestOpen[spec.slot])
        closeRequester(spec.slot);
    UReqRequest& request = session.requests[spec.slot];
    std::memset(&request, 0, sizeof request);
    request.flags = spec.flags;
    request.size = static_cast<uint32_t>(spec.width & 0xFFFF) | static_cast<uint32_t>(spec.height & 0xFFFF) << 16;
    request.queue = session.messageQueue;
    request.title = catalogueText(spec.title);
    if (spec.secondText)
        request.secondText = catalogueText(spec.secondText);
    if (ureqCreateRequest(&request) != 0) {
        loggerMessage(HXLOG_FAILURE, spec.error, kGuiSource, kStillsetModule, " ");
        ugEnableRefresh(monitor);
        return nullptr;
    }
    session.requestOpen[spec.slot] = 1;
    return request.window;
}

void endRequesterBuild()
{
    ugEnableRefresh(ugGetDefaultMonitor());
}

void abandonRequester(RequestSlot slot)
{
    closeRequester(slot);
    endRequesterBuild();
}

void closeRequester(RequestSlot slot)
{
    ureqDeleteRequest(&session.requests[slot]);
    session.requestOpen[slot] = 0;
}

UgWindow* requesterWindow(RequestSlot slot)
{
    return session.requestOpen[slot] ? session.requests[slot].window : nullptr;
}

bool requesterIsOpen(RequestSlot slot)
{
    return session.requestOpen[slot] != 0;
}

void drawPanel(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    ugDrawBoxNew(window, x0, y0, x1, y1, 4, 5, 0, 0);
}

int32_t panelHeight(int32_t rows)
{
    const RowMeasures m = rowMeasures();
    return 2 * CW(6) + 4 + rows * m.BH + (rows - 1) * CW(4);
}
