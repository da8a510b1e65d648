#include "requester_frame.h"

#include "gadget_helpers.h"
#include "layout_units.h"
#include "stillset/log.h"

#include <cstring>

UgWindow* openRequester(const RequesterPlan& plan)
{
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    if (session.requestOpen[plan.slot])
        closeRequester(plan.slot);
    UReqRequest& request = session.requests[plan.slot];
    std::memset(&request, 0, sizeof request);
    request.flags = plan.flags;
    request.size = static_cast<uint32_t>(plan.width & 0xFFFF) | static_cast<uint32_t>(plan.height & 0xFFFF) << 16;
    request.queue = session.messageQueue;
    request.title = catalogueText(plan.title);
    if (plan.secondText)
        request.secondText = catalogueText(plan.secondText);
    if (ureqCreateRequest(&request) != 0) {
        loggerMessage(HXLOG_FAILURE, plan.error, kGuiSource, kStillsetModule, " ");
        ugEnableRefresh(monitor);
        return nullptr;
    }
    session.requestOpen[plan.slot] = 1;
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
    if (!session.requestOpen[slot])
        return;
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
