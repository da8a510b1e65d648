// The list of pan presets that the effects requester's Add button opens; OK adds the chosen one.
#ifndef STILLSET_GUI_PAN_PRESET_REQUESTER_H
#define STILLSET_GUI_PAN_PRESET_REQUESTER_H

#include "gadget_route.h"

#include "host/hxgui.h"

#include <cstdint>

// The list view of the open (or last) requester; 0 after forgetPanPresetRequester.
UgGadget panPresetListView();
// Start-up: the list view of an earlier session is forgotten.
void forgetPanPresetRequester();
// 0 when the requester stands, -1 when the host could not open it (logged).
int32_t openPanPresetRequester();

void onPanPresetOk(const UgMessage& message);
void onPanPresetCancel(const UgMessage& message);

// The requester's OK and Cancel with their handlers, for the event loop.
GadgetRoutes panPresetRoutes();

#endif
