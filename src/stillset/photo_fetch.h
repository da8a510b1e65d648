// The full-size picture of a photo entry: the stored still, or else a frame grabbed from the
// host's video, kept in a one-picture cache.
#ifndef STILLSET_PHOTO_FETCH_H
#define STILLSET_PHOTO_FETCH_H

#include "host/hxscenes.h"

// A new picture the caller owns (free with opFreeImage), or null.
OpImage* fetchPhotoImage(const PhotoEntry* photo);
// A new frame of targetWidth x targetHeight woven from fields fieldNumber and fieldNumber + 1, or null.
OpImage* grabVideoFrame(int32_t fieldNumber, int16_t targetWidth, int16_t targetHeight);
// Empties the cache, freeing its picture.
void clearPhotoCache();

#endif
