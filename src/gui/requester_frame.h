// What every requester of the tool shares: its window opened from the session's request record,
// its panels, and closing it again.
#ifndef STILLSET_GUI_REQUESTER_FRAME_H
#define STILLSET_GUI_REQUESTER_FRAME_H

#include "stillset/session.h"

#include "host/hxgui.h"

struct RequesterPlan {
    RequestSlot slot;
    int32_t width, height;
    int32_t title;                // string number
    int32_t error;                // the log line that tells this requester's failure
    uint32_t flags = UREQ_REQUESTER;
    int32_t secondText = 0;       // string number, 0 for none
};

// Opens the requester with refresh off, which the caller switches on again with endRequesterBuild
// once its gadgets stand. A requester of the slot that is still open is closed first, so a second
// press never leaves a window nobody deletes. Null when the host refused: the error is logged and
// refresh is back on.
UgWindow* openRequester(const RequesterPlan& plan);
void endRequesterBuild();
// A half-built requester whose build failed: closed, refresh back on.
void abandonRequester(RequestSlot slot);
void closeRequester(RequestSlot slot);
// The requester's window while it is open, else null.
UgWindow* requesterWindow(RequestSlot slot);
bool requesterIsOpen(RequestSlot slot);
void drawPanel(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
// The height of a panel of n rows of gadgets.
int32_t panelHeight(int32_t rows);

#endif
