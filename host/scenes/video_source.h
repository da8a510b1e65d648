// The host's video as cmGetField reads it: the clip of the scene bin item most recently asked
// for its reference frame.
#ifndef HX_SCENES_VIDEO_SOURCE_H
#define HX_SCENES_VIDEO_SOURCE_H

#include <cstdint>

namespace hx {

void selectVideo(uint32_t itemId);

} // namespace hx

#endif
