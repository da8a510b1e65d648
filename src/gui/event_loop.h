// The main loop: every event of the main window and the requesters, handled one at a time.
#ifndef STILLSET_GUI_EVENT_LOOP_H
#define STILLSET_GUI_EVENT_LOOP_H

#include "host/hxop.h"
#include "host/hxscenes.h"

// Runs until the user closes the tool or builds; every exit ends the session. Always 0.
int32_t runEventLoop(OperatorActionRecord* record);
// After a change of a photo's look: new thumbnail, grid cell, preview, and the clip is gone.
void refreshPhoto(PhotoEntry* photo, int32_t row);

#endif
