// The default-duration requester: the duration new photos get, and the reset of everything.
#ifndef STILLSET_GUI_DEFAULT_DURATION_REQUESTER_H
#define STILLSET_GUI_DEFAULT_DURATION_REQUESTER_H

#include "gadget_route.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openDefaultDurationRequester();
// OK: a new default; with photos in the list the user is asked which of them take it.
void acceptDefaultDuration();
void cancelDefaultDuration();
// After a confirming question: no photos, no transitions or effects, every setting at its default.
void resetEverything();

// Start-up: the gadgets of an earlier session are forgotten.
void forgetDefaultDurationRequester();
// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes defaultDurationRoutes();

#endif
