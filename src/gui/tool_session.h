// A session of the tool with its interface: the core's start-up and shutdown wrapped with what the
// windows keep, and the run from the main window to the end of the event loop.
#ifndef STILLSET_GUI_TOOL_SESSION_H
#define STILLSET_GUI_TOOL_SESSION_H

#include "host/hxop.h"

#include <cstdint>

// The gadgets of an earlier session are forgotten, then the core starts (sessionStartup's answer).
int32_t startToolSession();
// The grid position is kept and an open transition panel closed, then the core shuts down.
void endToolSession();
// 0 after a normal end, -1 when start-up failed.
int32_t runStillset(OperatorActionRecord* record);

#endif
