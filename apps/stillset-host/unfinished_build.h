// What the storyboard and export commands say of a storyboard whose last build never finished.
#ifndef STILLSET_HOST_UNFINISHED_BUILD_H
#define STILLSET_HOST_UNFINISHED_BUILD_H

#include "hxhost/storyboard.h"

#include <string>

// One sentence naming the scenes of the unfinished build; empty when the last build completed.
std::string unfinishedBuildNote(const hxhost::Storyboard& board);

#endif
