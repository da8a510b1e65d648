// The apply-duration requester: which photos take a new default duration.
#ifndef STILLSET_GUI_APPLY_DURATION_REQUESTER_H
#define STILLSET_GUI_APPLY_DURATION_REQUESTER_H

#include "host/hxapi.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openApplyDurationRequester();
// The label of the second choice: string 176 with the old default in whole seconds.
void formatOldDefaultLabel(hxchar* buffer);
void acceptApplyDuration();
void cancelApplyDuration();

#endif
