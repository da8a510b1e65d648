// The tool's final act: the photo list becomes scenes of the host's storyboard, with a long-term
// effect on every new scene and a transition at every junction between new scenes.
#ifndef STILLSET_STORYBOARD_BUILDER_H
#define STILLSET_STORYBOARD_BUILDER_H

#include "host/hxop.h"

#include <cstdint>

// replace 1: clear the host storyboard first. 0, or -1 when the progress meter cannot be opened.
int32_t buildStoryboard(int32_t replace, const OperatorActionRecord* record);

#endif
