// Halved copies of a large picture, made when a window of it is scaled far down and kept until the
// picture is freed: a zoom over a 12-megapixel still then reads about as much as it writes.
#ifndef HX_REDUCED_COPIES_H
#define HX_REDUCED_COPIES_H

#include "host/hxopcommon.h"

#include <cstddef>
#include <cstdint>

namespace hx {

// A picture of four-byte pixels: the source itself (level 0) or one of its halvings.
struct PictureLevel {
    const uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    int level = 0; // each level halves both sides: a pixel of level k covers 2^k x 2^k of the source
};

// The smallest level whose copy of the w x h window still has at least the target's pixels in both
// directions, so that scaling it loses none of the detail the target can show.
int levelForWindow(double w, double h, int32_t targetWidth, int32_t targetHeight);

// The picture at `level` (format 1), halving it as far as needed; level 0 (the picture itself) when
// there is no memory for the copy. The copies live until freeReducedCopies(picture).
PictureLevel reducedCopy(const OpImage* picture, int level);

// Frees the copies of a picture that goes; a picture that never had any costs a lookup.
void freeReducedCopies(const OpImage* picture);

} // namespace hx

#endif
