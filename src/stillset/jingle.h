// The jingle: a piece of music the user picks in the host's file requester, played with each transition.
#ifndef STILLSET_JINGLE_H
#define STILLSET_JINGLE_H

#include "host/hxapi.h"

#include <cstdint>

inline constexpr int32_t kJingleBufferChars = 1000;

// Asks the user for an audio file. True with its path in `file` and its display name in `name`
// (both the caller's, kJingleBufferChars characters) and the requester's orientation; false when
// the user cancelled or the host failed.
bool chooseJingle(char* file, hxchar* name, int32_t* orientation);

#endif
