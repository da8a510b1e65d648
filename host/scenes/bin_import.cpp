// Pictures and clips brought into the scene bin. Each file is copied into the project's media
// folder, so the project keeps working when the original moves or changes.
#include "hxhost/hxhost.h"
#include "hxhost/still_import.h"

#include "runtime/atomic_file.h"
#include "runtime/host_state.h"
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

namespace {

constexpr size_t kMaxMediaBytes = 512u << 20;
constexpr int32_t kMaxTestClipSide = 4096;
constexpr int32_t kMaxTestClipFrames = 1000;

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stemOf(const std::string& name)
{
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// A free name "media/<name>" in the project, numbered when the name is taken.
bool freeMediaName(const std::string& name, std::string& media, std::string* error)
{
    const std::string project = hx::projectDirectory();
    if (project.empty())
        return fail(error, "no installation (HXHOME) to keep the project's media in");
    if (!hx::makeDirectories(project + "/media"))
        return fail(error, "cannot create " + project + "/media");
    const std::string stem = stemOf(name), extension = name.substr(stem.size());
    for (int n = 1; n < 10000; ++n) {
        media = "media/" + (n == 1 ? name : stem + "-" + std::to_string(n) + extension);
        struct stat info;
        if (stat((project + "/" + media).c_str(), &info) != 0)
            return true;
    }
    return fail(error, "no free name for " + name + " in " + project + "/media");
}

bool storeMedia(const std::string& name, const std::string& bytes, std::string& media, std::string* error)
{
    return freeMediaName(name, media, error) && hx::writeFileAtomically(hx::projectDirectory() + "/" + media, bytes, error);
}

bool copyIntoProject(const std::string& path, std::string& media, std::string* error)
{
    std::string bytes;
    if (!hx::readWholeFile(path, bytes, kMaxMediaBytes))
        return fail(error, path + ": cannot read the file, or it is larger than 512 MB");
    return storeMedia(baseName(path), bytes, media, error);
}

// Decoded before anything is stored: a picture that cannot be shown never enters the bin. A still
// decoded reduced only checked the file and is not kept.
uint32_t addStill(const std::string& path, std::shared_ptr<const hx::Still> still, bool reduced, std::string* error)
{
    std::string media;
    if (!still || !copyIntoProject(path, media, error))
        return 0;
    if (!reduced)
        hx::keepStill(hx::projectDirectory() + "/" + media, std::move(still));
    return hxhost::addSceneBinItem(hxhost::ItemKind::Still, hx::utf8To16(stemOf(baseName(path))), media, -1);
}

} // namespace

namespace hxhost {

uint32_t importStill(const std::string& path, std::string* error)
{
    return addStill(path, hx::decodeStill(path, hxhost::videoFormat().highDefinition, error), false, error);
}

std::vector<ImportedStill> importStills(const std::vector<std::string>& paths, unsigned threads,
                                        const std::function<void(size_t, size_t)>& progress)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<ImportedStill> imported(paths.size());
    // A folder holds more photos than the cache keeps, and the tool asks for them in order later, when
    // reading ahead serves it: here a JPEG decodes only far enough to know it is whole.
    hx::decodeInOrder(paths, hxhost::videoFormat().highDefinition, hx::state().stillPixelLimit, true, threads,
                      [&](size_t index, hx::DecodedStill decoded) {
                          ImportedStill& result = imported[index];
                          result.path = paths[index];
                          const bool reduced = decoded.reduced;
                          result.record = addStill(paths[index], hx::acceptStill(std::move(decoded), &result.error), reduced,
                                                   &result.error);
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
    if (!copyIntoProject(path, media, error))
        return 0;
    return addSceneBinItem(ItemKind::Clip, hx::utf8To16(stemOf(baseName(path))), media, referenceFrame);
}

uint32_t addTestClip(int32_t width, int32_t height, int32_t frames, TestPattern pattern, int32_t referenceFrame,
                     std::string* error)
{
    if (width < 1 || height < 1 || width > kMaxTestClipSide || height > kMaxTestClipSide || frames < 1 ||
        frames > kMaxTestClipFrames || referenceFrame < -1 || referenceFrame >= frames ||
        static_cast<size_t>(width) * static_cast<size_t>(height) * 3 * static_cast<size_t>(frames) > kMaxMediaBytes)
        return fail(error, "a test clip is 1 to 4096 pixels a side, 1 to 1000 frames and at most 512 MB, with its reference frame among its frames");
    std::string media;
    if (!storeMedia("test clip.y4m", hx::testClipBytes(width, height, frames, pattern), media, error))
        return 0;
    return addSceneBinItem(ItemKind::Clip, u"Test clip", media, referenceFrame);
}

void forgetDecodedStills()
{
    hx::forgetStills();
}

void setStillPixelLimit(size_t pixels)
{
    hx::state().stillPixelLimit = pixels;
}

} // namespace hxhost
