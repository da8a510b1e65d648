// The first scene's photo decoding for the export that follows a build (hxhost/show_start.h).
#ifndef HX_FIRST_SCENE_AHEAD_H
#define HX_FIRST_SCENE_AHEAD_H

#include <cstdint>

namespace hx {

// A build placed the storyboard's first scene, showing the clip `clipItem`.
void placedFirstScene(uint32_t clipItem);

} // namespace hx

#endif
