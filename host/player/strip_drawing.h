// The timeline strip as the player draws it: a small picture a scene within its span, the
// transitions marked above and below where the scenes overlap, and the playhead.
#ifndef HX_PLAYER_STRIP_DRAWING_H
#define HX_PLAYER_STRIP_DRAWING_H

#include "gui/canvas.h"
#include "hxhost/gui.h"
#include "hxhost/video_file.h"
#include "player/timeline.h"

#include <optional>
#include <vector>

namespace hx {

// The small picture of a scene for a strip `stripHeight` high: its photo clip's first field at the
// format's display aspect; an empty picture when the clip cannot be read.
hxhost::Picture stripThumbnail(const hxhost::StoryboardScene& scene, const hxhost::VideoFileFormat& format,
                               int32_t stripHeight);

// `thumbnails` has one entry a scene; a scene whose picture is not made yet shows empty.
void drawStrip(const Canvas& canvas, const hxhost::ViewRect& strip, const Timeline& timeline,
               const std::vector<std::optional<hxhost::Picture>>& thumbnails, int64_t playheadFrame);

} // namespace hx

#endif
