#include "player/strip_drawing.h"

#include "gui/colour.h"
#include "hxhost/storyboard.h"
#include "image/images.h"
#include "image/scaling.h"
#include "player/frame_picture.h"

#include <algorithm>

namespace hx {

namespace {

// The scenes' boxes stand this far inside the strip; the transitions' marks fill the room left.
constexpr int32_t kMarkHeight = 8;

} // namespace

hxhost::Picture stripThumbnail(const hxhost::StoryboardScene& scene, const hxhost::VideoFileFormat& format,
                               int32_t stripHeight)
{
    hxhost::Picture thumbnail;
    OpImage* field = hxhost::photoClipField(scene.clipItem, 0);
    if (!field)
        return thumbnail;
    hxhost::Picture full;
    yuvaPicture(field, format.highDefinition, full);
    freeImage(field);
    thumbnail.height = std::max(1, stripHeight - 2 * kMarkHeight);
    thumbnail.width = std::max(1, thumbnail.height * format.width * format.pixelAspect / 1000 / format.height);
    thumbnail.pixels.resize(static_cast<size_t>(thumbnail.width) * thumbnail.height);
    scaleFourBytePixels(reinterpret_cast<const uint8_t*>(full.pixels.data()), full.width, full.height,
                        reinterpret_cast<uint8_t*>(thumbnail.pixels.data()), thumbnail.width, thumbnail.height);
    return thumbnail;
}

void drawStrip(const Canvas& canvas, const hxhost::ViewRect& strip, const Timeline& timeline,
               const std::vector<std::optional<hxhost::Picture>>& thumbnails, int64_t playheadFrame)
{
    const int32_t top = strip.y + kMarkHeight, bottom = strip.y + strip.height - kMarkHeight - 1;
    const auto& scenes = timeline.scenes();
    for (size_t i = 0; i < scenes.size(); ++i) {
        const StripScene& s = scenes[i];
        const Rect span{s.x0, top, std::max(s.x0, s.x1 - 1), bottom};
        canvas.fill(span, guiColour(kColourEmptyCell));
        if (i < thumbnails.size() && thumbnails[i] && !thumbnails[i]->pixels.empty()) {
            const hxhost::Picture& thumbnail = *thumbnails[i];
            const Canvas inside = canvas.clipped(span);
            const int32_t x0 = s.x0 + std::max(0, (span.width() - thumbnail.width) / 2);
            for (int32_t y = 0; y < std::min(thumbnail.height, span.height()); ++y)
                for (int32_t x = 0; x < thumbnail.width; ++x)
                    inside.put(x0 + x, top + y, thumbnail.at(x, y));
        }
        canvas.frame(span, guiColour(kColourLight), guiColour(kColourDark), 1);
        if (s.overlapX1 > s.overlapX0) {
            const uint32_t mark = guiColour(kColourAccent);
            canvas.fill({s.overlapX0, strip.y, s.overlapX1 - 1, top - 1}, mark);
            canvas.fill({s.overlapX0, bottom + 1, s.overlapX1 - 1, strip.y + strip.height - 1}, mark);
        }
    }
    const int32_t x = timeline.xOfFrame(playheadFrame);
    canvas.fill({x - 1, strip.y, x + 1, strip.y + strip.height - 1}, guiColour(kColourFocus));
}

} // namespace hx
