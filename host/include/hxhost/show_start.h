// The show's first photo decoded while the work before the export goes on: a command that builds a
// slideshow and exports it at once knows an export follows the build.
#ifndef HXHOST_SHOW_START_H
#define HXHOST_SHOW_START_H

#include "hxhost/api.h"

namespace hxhost {

// While on (off after reset()), a build placing the storyboard's first scene starts decoding its
// photo at the show's size on a spare core, beside the rest of the build: the export that follows
// takes the decode for its first scene. An export that starts elsewhere drops it.
HXHOST_API void decodeFirstSceneAhead(bool on);

} // namespace hxhost

#endif
