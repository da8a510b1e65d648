// Durations in frames at the host's current frame rate, from the plug-in's duration and
// transition length codes. Without a timing handle the host is taken to run at 25 frames per second.
#ifndef STILLSET_TIME_UNITS_H
#define STILLSET_TIME_UNITS_H

#include <cstdint>

int32_t durationFrames(int32_t code);
int32_t transitionFrames(int32_t code);
int32_t durationCode(int32_t frames);

#endif
