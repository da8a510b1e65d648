// The tool's final act: the photo list becomes scenes of the host's storyboard, with a long-term
// effect on every new scene and a transition at every junction between new scenes.
#ifndef STILLSET_STORYBOARD_BUILDER_H
#define STILLSET_STORYBOARD_BUILDER_H

#include "host/hxop.h"

#include <cstdint>

// How a build ended, for the interface to show.
enum class BuildOutcome {
    MeterFailed,  // the progress meter could not be opened: nothing was rendered or placed
    Stopped,      // the person stopped the render: the clips made so far stay, the storyboard as it was
    RenderedOnly, // the action asked for clips only: every photo has its clip, the storyboard as it was
    Built,        // the included photos are scenes of the storyboard
};

// replace 1: clear the host storyboard first.
BuildOutcome buildStoryboard(int32_t replace, const OperatorActionRecord* record);

#endif
