// The storyboard requester: asked when the host storyboard already has scenes, whether the new
// scenes replace them or are added after them.
#ifndef STILLSET_GUI_STORYBOARD_REQUESTER_H
#define STILLSET_GUI_STORYBOARD_REQUESTER_H

#include "host/hxgui.h"

#include <cstdint>

// 0 when the requester stands, -1 when it could not be opened.
int32_t openStoryboardRequester();
// Whether the replace box of the requester is checked.
bool replaceChosen();

#endif
