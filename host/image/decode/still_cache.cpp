#include "image/decode/still_cache.h"

#include "image/image_blocks.h"
#include "image/images.h"
#include "runtime/host_state.h"
#include "runtime/reset_hook.h"
#include "hxhost/video_format.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <list>
#include <thread>

namespace {

struct Kept {
    std::string key;
    std::shared_ptr<const hx::Still> still;
};

std::list<Kept>& kept() // most recently used first
{
    static std::list<Kept> stills;
    return stills;
}

struct Ahead {
    std::string key;
    std::string path;
    std::future<hx::DecodedStill> decoded;
};

// Decodes started ahead, oldest first; their results are taken on the host's thread only.
std::deque<Ahead>& ahead()
{
    static std::deque<Ahead> started;
    return started;
}

// The same file decodes to other values under another standard's matrix.
std::string keyOf(const std::string& path)
{
    return (hxhost::videoFormat().highDefinition ? "709 " : "601 ") + path;
}

bool isKept(const std::string& key)
{
    const std::list<Kept>& stills = kept();
    return std::any_of(stills.begin(), stills.end(), [&](const Kept& k) { return k.key == key; });
}

std::deque<Ahead>::iterator aheadOf(const std::string& key)
{
    return std::find_if(ahead().begin(), ahead().end(), [&](const Ahead& a) { return a.key == key; });
}

// The decodes started for files not among `paths` are dropped, each once it has ended; each still
// counts as decoded, used or not.
void dropDecodesAheadBut(const std::vector<std::string>& paths)
{
    std::vector<std::string> wanted;
    for (const std::string& path : paths)
        wanted.push_back(keyOf(path));
    std::deque<Ahead>& started = ahead();
    const auto dropped = std::stable_partition(started.begin(), started.end(), [&](const Ahead& a) {
        return std::find(wanted.begin(), wanted.end(), a.key) != wanted.end();
    });
    for (auto it = dropped; it != started.end(); ++it)
        hx::countDecode(it->path, it->decoded.get());
    started.erase(dropped, started.end());
}

} // namespace

namespace hx {

// One decode ahead per core besides the host's own thread, which waits for the first of them.
void decodeStillsAhead(const std::vector<std::string>& following)
{
    const size_t most = std::max(2u, std::thread::hardware_concurrency()) - 1;
    const bool highDefinition = hxhost::videoFormat().highDefinition;
    const size_t maxPixels = state().stillPixelLimit;
    // What the tool no longer walks towards is dropped, once its decode has ended.
    dropDecodesAheadBut(following);
    for (const std::string& path : following) {
        const std::string key = keyOf(path);
        if (isKept(key) || aheadOf(key) != ahead().end())
            continue;
        if (ahead().size() >= most)
            break;
        ahead().push_back({key, path, std::async(std::launch::async, decodeStillFile, path, highDefinition, maxPixels, false)});
    }
}

namespace {

// The decodes ahead follow what the caller says comes next. With nothing said they stay as they are:
// an export starts the next scene's still before the first scene decodes its own.
void decodeFollowing(const std::vector<std::string>& following)
{
    if (!following.empty())
        decodeStillsAhead(following);
}

// A still not kept: the decode started ahead for it when there is one, or else one now.
std::shared_ptr<const Still> takeOrDecode(const std::string& path, const std::string& key,
                                          const std::vector<std::string>& following, std::string* error)
{
    const auto started = aheadOf(key);
    if (started == ahead().end()) {
        decodeFollowing(following);
        return decodeStill(path, hxhost::videoFormat().highDefinition, error);
    }
    DecodedStill decoded = started->decoded.get();
    ahead().erase(started);
    decodeFollowing(following);
    countDecode(path, decoded);
    return acceptStill(std::move(decoded), error);
}

} // namespace

bool isDecodingAhead(const std::string& path)
{
    return aheadOf(keyOf(path)) != ahead().end();
}

void keepStill(const std::string& path, std::shared_ptr<const Still> still)
{
    std::list<Kept>& stills = kept();
    const std::string key = keyOf(path);
    stills.remove_if([&](const Kept& k) { return k.key == key; });
    stills.push_front({key, std::move(still)});
    size_t bytes = 0;
    for (auto it = stills.begin(); it != stills.end(); ++it) {
        bytes += it->still->bytes();
        if (it != stills.begin() && bytes > kCachedStillBytes) {
            stills.erase(it, stills.end());
            break;
        }
    }
}

std::shared_ptr<const Still> cachedStill(const std::string& path, std::string* error, const std::vector<std::string>& following)
{
    const std::string key = keyOf(path);
    for (const Kept& k : kept())
        if (k.key == key) {
            std::shared_ptr<const Still> still = k.still;
            keepStill(path, still);
            decodeFollowing(following);
            return still;
        }
    std::shared_ptr<const Still> still = takeOrDecode(path, key, following, error);
    if (still)
        keepStill(path, still);
    return still;
}

OpImage* takeStillStartingNext(const std::string& path, const std::string& next)
{
    const std::string key = keyOf(path);
    if (isKept(key))
        return stillImage(path, {});
    const std::shared_ptr<const Still> still = takeOrDecode(path, key, {}, nullptr);
    if (still && !next.empty() && haveKeptBlock(still->bytes()))
        decodeStillsAhead({next});
    // Nobody else holds a still that is not kept, so its pixels are this image's to take.
    if (still && still.use_count() == 1) {
        Still& own = const_cast<Still&>(*still);
        return adoptPixels(std::move(own.pixels), own.width, own.height, OP_FORMAT_YUVA);
    }
    return nullptr;
}

OpImage* stillImage(const std::string& path, const std::vector<std::string>& following)
{
    const std::shared_ptr<const Still> still = cachedStill(path, nullptr, following);
    OpImage* image = still ? newImage(still->width, still->height, OP_FORMAT_YUVA, false) : nullptr;
    if (image)
        std::memcpy(image->planes[0], still->pixels.get(), still->bytes());
    return image;
}

void forgetStillsBut(const std::vector<std::string>& decoding)
{
    dropDecodesAheadBut(decoding); // each future waits for its decode as it goes
    kept().clear();
}

void forgetStills()
{
    forgetStillsBut({});
}

const ResetHook stillsReset(&forgetStills);

} // namespace hx
