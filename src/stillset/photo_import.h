// Photos brought in from the host's scene bin.
#ifndef STILLSET_PHOTO_IMPORT_H
#define STILLSET_PHOTO_IMPORT_H

#include "host/hxscenes.h"

// Fills a new entry (68-byte malloc block) for a scene: its own copy of the record, the whole
// photo as crop, the default look and duration. False, with the copy deleted, when the photo
// cannot be fetched; the caller then frees the block.
bool newPhotoEntry(PhotoEntry* photo, AVRecord scene);
// A new entry for the scene (malloc block, owned by the caller), or null when memory fails or the
// photo cannot be fetched (logged).
PhotoEntry* newPhotoFromScene(AVRecord scene);
// Appends every photo of the scene bin under a progress meter, telling `added` (if any) of each
// while its picture is still the cached one; -1 when the meter does not open or an entry cannot be
// allocated.
int32_t importAllScenes(void (*added)(PhotoEntry* photo) = nullptr);

#endif
