// The requesters where the user chooses transitions and effects, and the two that hang off them:
// a transition's own settings panel and the list of pan presets. Each returns 0 when its requester
// stands and -1 when the host could not open it (logged); the event loop fills the lists after.
#ifndef STILLSET_GUI_CHOOSER_REQUESTERS_H
#define STILLSET_GUI_CHOOSER_REQUESTERS_H

#include "stillset/operator_entry.h"

#include "host/hxmain.h"

#include <cstdint>

int32_t openTransitionsRequester();
int32_t openEffectsRequester();
// The settings panel of `entry`'s transition; `op` is loaded for it with its stored block applied.
// A null entry opens nothing.
int32_t openOperatorGuiRequester(OperatorEntry* entry, HxOperator* op);
int32_t openPanPresetRequester();

#endif
