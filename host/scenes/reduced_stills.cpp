#include "scenes/reduced_stills.h"

#include "image/decode/picture_decoders.h"
#include "image/images.h"
#include "image/scaling.h"
#include "runtime/reset_hook.h"
#include "scenes/scene_bin.h"
#include "hxhost/video_format.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

struct Copy {
    off_t offset = 0;
    int32_t width = 0, height = 0;         // of the copy
    int32_t fullWidth = 0, fullHeight = 0; // of the picture the tool is shown
    struct stat file {};                   // the file it was decoded from, as it was then
};

// Whether the file is still the one a copy was made of.
bool sameFile(const struct stat& was, const std::string& file)
{
    struct stat now {};
    return stat(file.c_str(), &now) == 0 && now.st_dev == was.st_dev && now.st_ino == was.st_ino &&
           now.st_size == was.st_size && now.st_mtim.tv_sec == was.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == was.st_mtim.tv_nsec;
}

struct Store {
    int file = -1;
    std::string directory; // of the project the copies belong to
    off_t end = 0;
    std::map<std::string, Copy> copies;
};

Store& store()
{
    static Store kept;
    return kept;
}

void closeStore()
{
    Store& s = store();
    if (s.file >= 0)
        close(s.file);
    s = Store{};
}

// An unlinked file in the project: the copies go with the process, and stay off a memory-backed /tmp.
bool openStore(const std::string& directory)
{
    Store& s = store();
    if (s.file >= 0 && s.directory == directory)
        return true;
    closeStore();
    int file = open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (file < 0) {
        std::string name = directory + "/.reduced-stills.XXXXXX";
        file = mkostemp(name.data(), O_CLOEXEC);
        if (file >= 0)
            unlink(name.c_str());
    }
    if (file < 0)
        return false;
    s.file = file;
    s.directory = directory;
    return true;
}

// All `size` bytes at `at` through pread or pwrite, which may each move fewer.
template <typename Transfer>
bool transferAll(Transfer transfer, int file, uint8_t* bytes, size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t moved = transfer(file, bytes, size, at);
        if (moved <= 0)
            return false;
        bytes += moved, size -= static_cast<size_t>(moved), at += moved;
    }
    return true;
}

// The power of two a full decode is divided by for the tool: its longer side stays at least kReducedSide.
int32_t reductionOf(int32_t width, int32_t height)
{
    int32_t factor = 1;
    while (factor < 8 && (std::max(width, height) + 2 * factor - 1) / (2 * factor) >= static_cast<int32_t>(hx::kReducedSide))
        factor *= 2;
    return factor;
}

// A copy holds the colours of the standard it was decoded under.
std::string keyOf(const std::string& file)
{
    return (hxhost::videoFormat().highDefinition ? "709 " : "601 ") + file;
}

const hx::ResetHook reducedStillsReset(&closeStore);

} // namespace

namespace hx {

bool keepReducedStill(const std::string& file, const DecodedStill& decoded)
{
    if (!decoded.still || !openStore(projectDirectory()))
        return false;
    const Still& still = *decoded.still;
    Copy copy;
    if (stat(file.c_str(), &copy.file) != 0)
        return false;
    copy.fullWidth = decoded.reduced ? decoded.fullWidth : still.width;
    copy.fullHeight = decoded.reduced ? decoded.fullHeight : still.height;
    const int32_t factor = decoded.reduced ? 1 : reductionOf(still.width, still.height);
    copy.width = (still.width + factor - 1) / factor;
    copy.height = (still.height + factor - 1) / factor;
    std::vector<uint8_t> shrunk;
    const uint8_t* pixels = still.pixels.get();
    if (factor > 1) {
        shrunk.resize(static_cast<size_t>(copy.width) * copy.height * 4);
        scaleFourBytePixels(pixels, still.width, still.height, shrunk.data(), copy.width, copy.height);
        pixels = shrunk.data();
    }
    Store& s = store();
    const size_t bytes = static_cast<size_t>(copy.width) * copy.height * 4;
    if (copy.fullWidth < 1 || copy.fullHeight < 1 || !transferAll(pwrite, s.file, const_cast<uint8_t*>(pixels), bytes, s.end))
        return false;
    copy.offset = s.end;
    s.end += static_cast<off_t>(bytes);
    s.copies[keyOf(file)] = copy;
    return true;
}

OpImage* enlargedReducedStill(const std::string& file)
{
    Store& s = store();
    const auto kept = s.copies.find(keyOf(file));
    if (kept == s.copies.end())
        return nullptr;
    if (!sameFile(kept->second.file, file)) {
        s.copies.erase(kept);
        return nullptr;
    }
    const Copy& copy = kept->second;
    std::vector<uint8_t> pixels(static_cast<size_t>(copy.width) * copy.height * 4);
    if (!transferAll(pread, s.file, pixels.data(), pixels.size(), copy.offset))
        return nullptr;
    OpImage* image = newImage(copy.fullWidth, copy.fullHeight, OP_FORMAT_YUVA, false);
    if (image)
        scaleFourBytePixels(pixels.data(), copy.width, copy.height, image->planes[0], copy.fullWidth, copy.fullHeight);
    return image;
}

void forgetReducedStills()
{
    closeStore();
}

} // namespace hx
