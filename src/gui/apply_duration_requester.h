// The apply-duration requester: which photos take a new default duration.
#ifndef STILLSET_GUI_APPLY_DURATION_REQUESTER_H
#define STILLSET_GUI_APPLY_DURATION_REQUESTER_H

#include "gadget_route.h"

#include "host/hxapi.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openApplyDurationRequester();
// The label of the second choice: string 176 with the old default in whole seconds.
void formatOldDefaultLabel(hxchar* buffer);
void acceptApplyDuration();
void cancelApplyDuration();

// Start-up: the gadgets of an earlier session are forgotten.
void forgetApplyDurationRequester();
// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes applyDurationRoutes();

#endif
