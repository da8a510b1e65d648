// cmGetField: field n of the selected clip is the rows of parity n % 2 of frame n / 2.
#include "scenes/video_source.h"

#include "host/hxmotion.h"

#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/reset_hook.h"
#include "scenes/scene_bin.h"
#include "video/y4m_clip.h"
#include "hxhost/scene_bin.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

struct VideoSource {
    uint32_t itemId = 0;
    hx::Y4mClip clip;      // the opened clip, empty path while none
    int32_t frame = -1;    // the frame in `pixels`
    std::vector<uint8_t> pixels;
};

VideoSource& source()
{
    static VideoSource video;
    return video;
}

// Opens the selected item's clip and reads a frame of it, unless it is the one read last.
bool loadFrame(int32_t frame)
{
    VideoSource& video = source();
    const hx::BinItem* item = hx::findItem(video.itemId);
    if (!item || item->kind != hxhost::ItemKind::Clip)
        return false;
    std::string error;
    const std::string path = hx::mediaPath(*item);
    if (video.clip.path != path) {
        video.frame = -1;
        if (!hx::openY4m(path, video.clip, error)) {
            video.clip = hx::Y4mClip{};
            return false;
        }
    }
    if (video.frame == frame)
        return true;
    video.frame = -1;
    if (!hx::readY4mFrame(video.clip, frame, video.pixels, error))
        return false;
    video.frame = frame;
    return true;
}

} // namespace

namespace hx {

void selectVideo(uint32_t itemId)
{
    source().itemId = itemId;
}

const ResetHook videoSourceReset([] { source() = VideoSource{}; });

} // namespace hx

extern "C" int32_t cmGetField(CmHandle* handle, OpImage* image, int32_t mode, int32_t fieldNumber) HX_ENTRY
{
    // Modes 0 and 2 (bit 0 of the hardware status) both read the field as stored.
    if (hx::shouldFail("cmGetField") || !handle || !hx::isLiveImage(image) || !image->planes[0] ||
        image->format != OP_FORMAT_YUVA || (mode != 0 && mode != 2) || fieldNumber < 0 || !loadFrame(fieldNumber / 2))
        return -1;
    const VideoSource& video = source();
    const int32_t parity = fieldNumber % 2, width = video.clip.width;
    const int32_t height = (video.clip.height + 1 - parity) / 2;
    if (height < 1)
        return -1;
    OpImage* field = image->width == width && image->height == height ? image : hx::newImage(width, height, OP_FORMAT_YUVA);
    if (!field)
        return -1;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(field->planes[0] + static_cast<size_t>(row) * rowBytes,
                    video.pixels.data() + static_cast<size_t>(2 * row + parity) * rowBytes, rowBytes);
    if (field != image) {
        hx::scaleInto(field, image);
        hx::freeImage(field);
    }
    return 0;
}
HX_ENTRY_FAILS(-1)
