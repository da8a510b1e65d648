// Pictures and clips brought into the scene bin. Each file is copied into the project's media
// folder, so the project keeps working when the original moves or changes.
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/still_import.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
#include "scenes/project_media.h"
#include "scenes/reduced_stills.h"
#include "scenes/scene_bin.h"
#include "image/decode/parallel_decode.h"
#include "image/decode/still_cache.h"
#include "image/image_blocks.h"
#include "video/test_clips.h"
#include "text/utf.h"
#include "hxhost/video_format.h"
#include "video/y4m_clip.h"

#include <algorithm>
#include <malloc.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int32_t kMaxTestClipSide = 4096;
constexpr int32_t kMaxTestClipFrames = 1000;

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// The bin item of a file stored in the media; a bin that cannot be stored takes the file back out,
// so that no media file is left that no item names.
uint32_t addMediaItem(hxhost::ItemKind kind, const std::string& path, const std::string& media, int32_t referenceFrame,
                      std::string* error)
{
    hx::BinItem item;
    item.kind = kind;
    item.name = hx::utf8To16(hx::stemOf(hx::baseName(path)));
    item.media = media;
    item.referenceFrame = referenceFrame;
    const AVRecord record = hx::addItem(std::move(item), true);
    if (!record) {
        unlink((hx::projectDirectory() + "/" + media).c_str());
        return fail(error, "cannot store the scene bin of " + hx::projectDirectory());
    }
    return record;
}

// Decoded before anything is stored: a picture that cannot be shown never enters the bin. The still
// stays decoded (`keepWhole`), or a small copy of it is kept for the tool's thumbnails and previews.
uint32_t addStill(const std::string& path, hx::DecodedStill decoded, bool keepWhole, std::string* error)
{
    std::string media;
    const uint32_t record = decoded.still && hx::copyIntoProject(path, media, error)
                                ? addMediaItem(hxhost::ItemKind::Still, path, media, -1, error)
                                : 0;
    const std::string stored = hx::projectDirectory() + "/" + media;
    if (record) {
        hx::countDecode(stored, decoded);
        if (!keepWhole)
            hx::keepReducedStill(stored, decoded);
    }
    std::shared_ptr<const hx::Still> still = hx::acceptStill(std::move(decoded), error);
    if (record && keepWhole)
        hx::keepStill(stored, std::move(still));
    return record;
}

} // namespace

namespace hxhost {

uint32_t importStill(const std::string& path, std::string* error)
{
    return addStill(path, hx::decodeStillFile(path, hxhost::videoFormat().highDefinition, hx::state().stillPixelLimit),
                    true, error);
}

std::vector<ImportedStill> importStills(const std::vector<std::string>& paths, unsigned threads,
                                        const std::function<void(size_t, size_t)>& progress)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<ImportedStill> imported(paths.size());
    // A folder holds more photos than memory keeps decoded: a JPEG decodes only as a small copy, enough
    // to know it is whole and for the tool's thumbnails and previews, which the copies serve later.
    hx::decodeInOrder(paths, hxhost::videoFormat().highDefinition, hx::state().stillPixelLimit, true, threads,
                      [&](size_t index, hx::DecodedStill decoded) {
                          ImportedStill& result = imported[index];
                          result.path = paths[index];
                          result.record = addStill(paths[index], std::move(decoded), false, &result.error);
                          if (progress)
                              progress(index + 1, paths.size());
                      });
    hx::releaseKeptBlocks();
    malloc_trim(0);
    return imported;
}

uint32_t importClip(const std::string& path, int32_t referenceFrame, std::string* error)
{
    hx::Y4mClip clip;
    std::string reason, media;
    if (!hx::openY4m(path, clip, reason))
        return fail(error, reason);
    if (referenceFrame < -1 || referenceFrame >= static_cast<int32_t>(clip.frames.size()))
        return fail(error, path + ": no frame " + std::to_string(referenceFrame));
    if (!hx::copyIntoProject(path, media, error))
        return 0;
    return addMediaItem(ItemKind::Clip, path, media, referenceFrame, error);
}

uint32_t addTestClip(int32_t width, int32_t height, int32_t frames, TestPattern pattern, int32_t referenceFrame,
                     std::string* error)
{
    if (width < 1 || height < 1 || width > kMaxTestClipSide || height > kMaxTestClipSide || frames < 1 ||
        frames > kMaxTestClipFrames || referenceFrame < -1 || referenceFrame >= frames ||
        static_cast<size_t>(width) * static_cast<size_t>(height) * 3 * static_cast<size_t>(frames) > hx::kMaxMediaBytes)
        return fail(error, "a test clip is 1 to 4096 pixels a side, 1 to 1000 frames and at most 512 MB, with its reference frame among its frames");
    std::string media;
    if (!hx::storeMedia("test clip.y4m", hx::testClipBytes(width, height, frames, pattern), media, error))
        return 0;
    return addMediaItem(ItemKind::Clip, "Test clip", media, referenceFrame, error);
}

void forgetDecodedStills()
{
    hx::forgetStills();
    hx::forgetReducedStills();
}

void setStillPixelLimit(size_t pixels)
{
    hx::state().stillPixelLimit = pixels;
}

} // namespace hxhost
