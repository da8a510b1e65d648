// Generated clips with known pixels, written as YUV4MPEG2 (4:4:4) files.
#ifndef HX_TEST_CLIPS_H
#define HX_TEST_CLIPS_H

#include "hxhost/scene_bin.h"

#include <string>

namespace hx {

std::string testClipBytes(int32_t width, int32_t height, int32_t frames, hxhost::TestPattern pattern);

} // namespace hx

#endif
