// Two fields of four-byte pixels woven into one interlaced 4:2:0 frame.
#ifndef HX_FRAME_WEAVE_H
#define HX_FRAME_WEAVE_H

#include "host/hxopcommon.h"
#include "hxhost/video_file.h"

#include <cstddef>
#include <cstdint>

namespace hx {

struct Planes420 {
    uint8_t* y = nullptr;
    uint8_t* u = nullptr;
    uint8_t* v = nullptr;
    size_t yStride = 0, uStride = 0, vStride = 0;
};

// True when the two fields can make a frame: both format 1, the same even width, and a frame height
// that is a multiple of 4 (each field's chroma comes from its own rows).
bool fieldsWeave(const OpImage* top, const OpImage* bottom);

// Frame row r comes from row r / 2 of the top field when r is even, of the bottom field when odd.
// Chroma stays within its field: interlaced 4:2:0 keeps the fields' colours apart, so motion between
// them never bleeds into each other's chroma.
void weaveFields420(const OpImage* top, const OpImage* bottom, const Planes420& out);

// Two fields in time order as the format's top and bottom fields; false when they do not make a
// frame of the format.
bool frameFields(const OpImage* first, const OpImage* second, const hxhost::VideoFileFormat& format, const OpImage** top,
                 const OpImage** bottom);
// The frame's bytes: its Y, U and V planes one after the other, row by row without padding.
size_t frameBytes(const hxhost::VideoFileFormat& format);
// Weaves the fields frameFields gave into `planes`, frameBytes(format) of them.
void weaveFrame(const OpImage* top, const OpImage* bottom, const hxhost::VideoFileFormat& format, uint8_t* planes);

} // namespace hx

#endif
