// Photo clips: nslRenderStillsetElement turns a photo entry into a clip of the scene bin. The clip
// keeps the photo's look in "clips/photo<entry>-<n>.hxc" under the project, so it plays in later
// sessions too: plainly as the slideshow tool's finished fields, under an effect as its corrected
// full picture. The pictures come from the tool's rendering exports, called with the stored entry.
//
//   "HXPC" u32 version(1) u32 sourceItem u32 entryId i32 duration i32 rotation i32 mirrored
//   u32 cropX u32 cropY u32 cropWidth u32 cropHeight i32 brightness i32 contrast i32 saturation i32 gamma
#include "hxhost/scene_bin.h"
#include "hxhost/storyboard.h"
#include "hxhost/video_format.h"

#include "host/hxscenes.h"

#include "image/decode/still_decode.h"
#include "image/images.h"
#include "runtime/atomic_file.h"
#include "runtime/byte_io.h"
#include "runtime/entry_guard.h"
#include "runtime/failure_log.h"
#include "runtime/host_state.h"
#include "runtime/install_paths.h"
#include "scenes/photo_clips.h"
#include "scenes/scene_bin.h"
#include "scenes/stored_item_names.h"
#include "text/utf.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr char kMagic[4] = {'H', 'X', 'P', 'C'};
constexpr uint32_t kVersion = 1;
constexpr size_t kClipFileBytes = 4 + 4 * 14;
constexpr int32_t kMaxDuration = 24 * 60 * 60 * 60; // a day of frames at 60 per second

hxhost::PhotoRenderer& registered()
{
    static hxhost::PhotoRenderer renderer;
    return renderer;
}

// The registered exports, or those of "libstillset.so" beside the host library, loaded once and kept.
const hxhost::PhotoRenderer* renderer()
{
    hxhost::PhotoRenderer& r = registered();
    if (r.doPhoto && r.getFinalField)
        return &r;
    const std::string directory = hx::libraryDirectory();
    if (directory.empty())
        return nullptr;
    void* library = dlopen((directory + "/libstillset.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    r.doPhoto = reinterpret_cast<StillsetDoPhotoFn>(dlsym(library, "stillsetDoPhoto"));
    r.getFinalField = reinterpret_cast<StillsetGetFinalFieldFn>(dlsym(library, "stillsetGetFinalField"));
    return r.doPhoto && r.getFinalField ? &r : nullptr;
}

std::string encodeClip(const PhotoEntry& e, uint32_t sourceItem, int32_t duration)
{
    std::string out(kMagic, sizeof kMagic);
    const uint32_t fields[] = {kVersion,
                               sourceItem,
                               e.id,
                               static_cast<uint32_t>(duration),
                               static_cast<uint32_t>(e.rotation),
                               static_cast<uint32_t>(e.mirrored),
                               e.cropX,
                               e.cropY,
                               e.cropWidth,
                               e.cropHeight,
                               static_cast<uint32_t>(e.brightness),
                               static_cast<uint32_t>(e.contrast),
                               static_cast<uint32_t>(e.saturation),
                               static_cast<uint32_t>(e.gamma)};
    for (uint32_t field : fields)
        hx::putU32(out, field);
    return out;
}

// The stored entry of a clip file; `entry.source` stays 0.
bool decodeClip(const std::string& bytes, PhotoEntry& entry, hxhost::PhotoClip& clip)
{
    if (bytes.size() != kClipFileBytes || bytes.compare(0, 4, kMagic, 4) != 0)
        return false;
    uint32_t f[14] = {};
    size_t at = 4;
    for (uint32_t& field : f)
        hx::getU32(bytes, at, field);
    const auto duration = static_cast<int32_t>(f[3]);
    if (f[0] != kVersion || duration < 1 || duration > kMaxDuration || f[4] % 90 != 0 || f[4] > 270 || f[6] > 0xFFFF || f[7] > 0xFFFF || f[8] > 0xFFFF || f[9] > 0xFFFF)
        return false;
    std::memset(&entry, 0, sizeof entry);
    entry.id = f[2];
    entry.rotation = static_cast<int16_t>(f[4]);
    entry.mirrored = static_cast<int32_t>(f[5]);
    entry.cropX = static_cast<uint16_t>(f[6]);
    entry.cropY = static_cast<uint16_t>(f[7]);
    entry.cropWidth = static_cast<uint16_t>(f[8]);
    entry.cropHeight = static_cast<uint16_t>(f[9]);
    entry.brightness = static_cast<int32_t>(f[10]);
    entry.contrast = static_cast<int32_t>(f[11]);
    entry.saturation = static_cast<int32_t>(f[12]);
    entry.gamma = static_cast<int32_t>(f[13]);
    entry.included = 1;
    entry.duration = duration;
    clip = hxhost::PhotoClip{f[1], f[2], duration};
    return true;
}

bool readClip(uint32_t clipItem, PhotoEntry& entry, hxhost::PhotoClip& clip)
{
    const hx::BinItem* item = hx::findItem(clipItem);
    std::string bytes;
    return item && item->kind == hxhost::ItemKind::PhotoClip &&
           hx::readWholeFile(hx::mediaPath(*item), bytes, kClipFileBytes) && decodeClip(bytes, entry, clip);
}

// A clip file name that no clip of the project uses yet.
std::string freshClipMedia(uint32_t entryId)
{
    for (uint32_t n = 1;; ++n) {
        const std::string media = "clips/photo" + std::to_string(entryId) + "-" + std::to_string(n) + ".hxc";
        if (access((hx::projectDirectory() + "/" + media).c_str(), F_OK) != 0)
            return media;
    }
}

// The stills of the export whose clip is being rendered on this thread.
thread_local const hx::ExportStills* exportCall = nullptr;

// Calls `render` with the clip's stored entry, which refers to its photo while the call lasts; the
// still requests of the call are answered as `stills` says, when given.
template <typename Render> OpImage* withStoredEntry(uint32_t clipItem, const hx::ExportStills* stills, Render render)
{
    struct During {
        const hx::ExportStills* was;
        ~During() { exportCall = was; }
    } during{std::exchange(exportCall, stills)};
    PhotoEntry entry;
    hxhost::PhotoClip clip;
    const hxhost::PhotoRenderer* exports = renderer();
    if (!exports || !readClip(clipItem, entry, clip))
        return nullptr;
    entry.source = hx::newRecordCopy(clip.sourceItem);
    OpImage* picture = entry.source ? render(*exports, entry) : nullptr;
    hx::deleteRecord(entry.source);
    return picture;
}

// What is wrong with a file that should be there; empty when it is a file that can be read.
std::string fileFault(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? "is missing" : std::string("cannot be reached: ") + std::strerror(errno);
    if (!S_ISREG(info.st_mode))
        return "is not a regular file";
    if (access(path.c_str(), R_OK) != 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    return {};
}

OpImage* clipField(uint32_t clipItem, int32_t selector, const hx::ExportStills* stills)
{
    return withStoredEntry(clipItem, stills, [selector](const hxhost::PhotoRenderer& exports, const PhotoEntry& entry) {
        return exports.getFinalField(&entry, selector);
    });
}

OpImage* clipPicture(uint32_t clipItem, const hx::ExportStills* stills)
{
    return withStoredEntry(clipItem, stills, [](const hxhost::PhotoRenderer& exports, const PhotoEntry& entry) -> OpImage* {
        if (OpImage* still = nslGetStillset(entry.source))
            return exports.doPhoto(&entry, still);
        // A photo grabbed from video has no stored still: its finished frame is the full picture.
        OpImage* first = exports.getFinalField(&entry, 0);
        OpImage* second = first ? exports.getFinalField(&entry, 1) : nullptr;
        OpImage* frame = second ? opMakeFrame(first, second, 0, 0) : nullptr;
        hx::freeImage(first);
        hx::freeImage(second);
        return frame;
    });
}

} // namespace

namespace hx {

OpImage* photoClipField(uint32_t clipItem, int32_t selector, const ExportStills& stills)
{
    return clipField(clipItem, selector, &stills);
}

OpImage* photoClipPicture(uint32_t clipItem, const ExportStills& stills)
{
    return clipPicture(clipItem, &stills);
}

std::vector<std::string> stillOfClip(uint32_t clipItem)
{
    hxhost::PhotoClip clip;
    const BinItem* still = hxhost::photoClipOf(clipItem, clip) ? findItem(clip.sourceItem) : nullptr;
    return still ? std::vector<std::string>{mediaPath(*still)} : std::vector<std::string>{};
}

const ExportStills* exportStillsOfCall()
{
    return exportCall;
}

uint32_t highestItemInPhotoClips(const std::string& projectDirectory)
{
    uint32_t highest = 0;
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(projectDirectory + "/clips", error)) {
        std::string bytes;
        PhotoEntry entry;
        hxhost::PhotoClip clip;
        if (readWholeFile(file.path().string(), bytes, kClipFileBytes) && decodeClip(bytes, entry, clip))
            highest = std::max(highest, clip.sourceItem);
    }
    return highest;
}

} // namespace hx

namespace hxhost {

void setPhotoRenderer(const PhotoRenderer& renderer)
{
    registered() = renderer;
}

bool photoClipOf(uint32_t clipItem, PhotoClip& out)
{
    PhotoEntry entry;
    return readClip(clipItem, entry, out);
}

OpImage* photoClipField(uint32_t clipItem, int32_t selector)
{
    return clipField(clipItem, selector, nullptr);
}

OpImage* photoClipPicture(uint32_t clipItem)
{
    return clipPicture(clipItem, nullptr);
}

std::string photoClipFault(uint32_t clipItem)
{
    const hx::BinItem* item = hx::findItem(clipItem);
    if (!item)
        return "clip item " + std::to_string(clipItem) + " is not in the scene bin";
    const std::string clipFile = hx::mediaPath(*item);
    const std::string clipName = "clip \"" + hx::utf16To8(item->name) + "\" (" + clipFile + ")";
    if (item->kind != ItemKind::PhotoClip)
        return clipName + " is no photo clip";
    if (const std::string fault = fileFault(clipFile); !fault.empty())
        return clipName + ": the clip file " + fault;
    PhotoEntry entry;
    PhotoClip clip;
    if (!readClip(clipItem, entry, clip))
        return clipName + ": the clip file is damaged";
    const hx::BinItem* photo = hx::findItem(clip.sourceItem);
    if (!photo)
        return clipName + ": its photo (item " + std::to_string(clip.sourceItem) + ") is not in the scene bin";
    const std::string photoFile = hx::mediaPath(*photo);
    const std::string both = clipName + " of the photo " + photoFile;
    if (const std::string fault = fileFault(photoFile); !fault.empty())
        return both + ": the photo file " + fault;
    if (photo->kind == ItemKind::Still) {
        std::string error;
        if (!hx::decodeStill(photoFile, hxhost::videoFormat().highDefinition, &error))
            return both + ": the photo file cannot be decoded (" + error + ")";
    }
    return {};
}

} // namespace hxhost

extern "C" int32_t nslRenderStillsetElement(PhotoEntry* entry, int32_t duration) HX_ENTRY
{
    if (hx::shouldFail("nslRenderStillsetElement") || !entry || duration < 1 || duration > kMaxDuration)
        return -1;
    const hx::BinItem* source = hx::itemOfRecord(entry->source);
    const hxhost::PhotoRenderer* exports = renderer();
    if (!source || source->kind == hxhost::ItemKind::PhotoClip || !exports) {
        hx::logFailure(!source ? "the photo's source is not in the scene bin"
                       : !exports ? "the tool's rendering exports cannot be found"
                                  : "the photo's source is itself a photo clip");
        return -1;
    }
    // The photo must render before a clip of it is made.
    OpImage* probe = exports->getFinalField(entry, 0);
    if (!probe) {
        hx::logFailure("the photo does not render");
        return -1;
    }
    hx::freeImage(probe);
    const std::string directory = hx::projectDirectory();
    const std::string media = freshClipMedia(entry->id);
    const std::string path = directory + "/" + media;
    if (directory.empty() || !hx::makeDirectories(directory + "/clips") ||
        !hx::writeFileAtomically(path, encodeClip(*entry, source->id, duration))) {
        hx::logFailure("cannot write the clip " + path);
        return -1;
    }
    hx::BinItem item;
    item.kind = hxhost::ItemKind::PhotoClip;
    item.name = source->name;
    item.media = media;
    const AVRecord own = hx::addItem(std::move(item), true);
    const AVRecord copy = own ? hx::newRecordCopy(hxhost::itemOfRecord(own)) : 0;
    if (!copy) {
        unlink(path.c_str());
        hx::logFailure("cannot add the clip " + path + " to the scene bin");
        return -1;
    }
    hx::deleteRecord(entry->clip); // an entry holds one clip: an older one is given up
    entry->clip = copy;
    return 0;
}
HX_ENTRY_FAILS(-1)
