// The jingle: a sound file the user picks in the host's file requester, played at every transition.
#ifndef STILLSET_JINGLE_CHOICE_H
#define STILLSET_JINGLE_CHOICE_H

#include "host/hxapi.h"

#include <cstdint>

inline constexpr int32_t kJingleBufferChars = 1000;

// Asks the user for the jingle's file. True when one was chosen: `file` (8-bit) and `name` (16-bit),
// each of kJingleBufferChars, hold its path and display name, `orientation` what the requester reported.
bool chooseJingle(char* file, hxchar* name, int32_t* orientation);

#endif
