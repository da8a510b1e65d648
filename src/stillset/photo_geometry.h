// Crop, quarter turns and mirror of four-byte-pixel pictures, and the crop rectangle seen turned.
#ifndef STILLSET_PHOTO_GEOMETRY_H
#define STILLSET_PHOTO_GEOMETRY_H

#include "host/hxscenes.h"

// Consumed: a new image frees the argument; the argument itself comes back when nothing changes
// or there is no memory.
OpImage* cropImage(OpImage* image, int16_t x, int16_t y, int16_t width, int16_t height);
OpImage* rotateImage(OpImage* image, int16_t angle);
// In place.
void mirrorImage(OpImage* image);

// Rewrite the entry's crop rectangle between unturned and turned picture coordinates.
void mapCropToTurned(PhotoEntry* photo, uint16_t width, uint16_t height);
void mapCropFromTurned(PhotoEntry* photo, uint16_t width, uint16_t height);

#endif
