// The thumbnail-size requester: five sizes as check boxes; a new size rebuilds the main window.
#ifndef STILLSET_GUI_THUMB_SIZE_REQUESTER_H
#define STILLSET_GUI_THUMB_SIZE_REQUESTER_H

#include "gadget_route.h"

#include "host/hxgui.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openThumbSizeRequester();
// OK: 0, or -1 when the main window could not be built again and the session has to end.
int32_t acceptThumbSize();
// One size at a time: checking a box unchecks the others.
void pickThumbSize(UgGadget box);
void cancelThumbSize();

// Start-up: the gadgets of an earlier session are forgotten.
void forgetThumbSizeRequester();
// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes thumbSizeRoutes();

#endif
