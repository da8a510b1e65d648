// The five ready-made pan variants: preference blocks in "HXHOME/programs/stillset/prefs/sl<n>.prf".
#ifndef STILLSET_PAN_PRESETS_H
#define STILLSET_PAN_PRESETS_H

#include <cstdint>

// Copies `size` bytes of variant's preference block into `block` (the caller's, at least `size`
// bytes): 0, or -1 with the block untouched.
int32_t readPanPreset(void* block, uint32_t size, int32_t variant);

#endif
