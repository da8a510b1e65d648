// A frame taken towards black, in the limited-range 4:2:0 the host writes.
#ifndef HX_PICTURE_FADE_H
#define HX_PICTURE_FADE_H

#include "hxhost/video_file.h"

namespace hx {

// `level` 1 leaves the frame as it is, 0 makes it black.
void fadeToBlack(hxhost::WovenFrame& frame, int32_t width, int32_t height, double level);

} // namespace hx

#endif
