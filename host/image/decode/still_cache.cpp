#include "image/decode/still_cache.h"

#include "runtime/host_state.h"
#include "video/video_standard.h"

#include <list>

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

// The same file decodes to other values under another standard's matrix.
std::string keyOf(const std::string& path)
{
    return (hx::currentStandard().highDefinition ? "709 " : "601 ") + path;
}

} // namespace

namespace hx {

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

std::shared_ptr<const Still> cachedStill(const std::string& path, std::string* error)
{
    const std::string key = keyOf(path);
    for (const Kept& k : kept())
        if (k.key == key) {
            std::shared_ptr<const Still> still = k.still;
            keepStill(path, still);
            return still;
        }
    std::shared_ptr<const Still> still = decodeStill(path, currentStandard().highDefinition, error);
    if (still)
        keepStill(path, still);
    return still;
}

void resetStills()
{
    kept().clear();
}

} // namespace hx
