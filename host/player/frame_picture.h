// Show frames as a person sees them: a progressive frame whole, an interlaced one a field at a time
// (each field its own instant), turned from the file's limited-range YUV into RGB.
#ifndef HX_PLAYER_FRAME_PICTURE_H
#define HX_PLAYER_FRAME_PICTURE_H

#include "hxhost/gui.h"
#include "hxhost/video_file.h"

#include <cstdint>
#include <functional>

struct OpImage;

namespace hx {

// How a picture's rows are shared out: calls part(begin, end) over [0, rows); by default in one go.
using RowSplit = std::function<void(int32_t rows, const std::function<void(int32_t begin, int32_t end)>& part)>;

// Frame rows of one instant: the whole frame of a progressive format, else field `field` (0 or 1,
// in time order) at its own height. A frame too short for the format leaves `out` as it was.
void framePicture(const hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, int field, hxhost::Picture& out,
                  const RowSplit& split = {});
// A format-1 picture (key, U, V, Y bytes a pixel) in RGB.
void yuvaPicture(const OpImage* image, bool highDefinition, hxhost::Picture& out);

} // namespace hx

#endif
