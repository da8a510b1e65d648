// What a sound file holds: its kind, codec, rate, channels, title and the length that decodes.
#include "hxhost/audio.h"

#include "audio/sound_module.h"
#include "runtime/host_state.h"
#include "text/utf.h"

#include <cmath>

namespace hxhost {
namespace {

// Titles are shown in one line of a list: printable, and not longer than a list row holds.
constexpr size_t kMaxTitle = 200;

std::u16string shownTitle(const std::string& tag)
{
    std::u16string title;
    for (char16_t c : hx::utf8To16(tag)) {
        if (title.size() >= kMaxTitle)
            break;
        if (c >= 0x20 && c != 0x7F)
            title += c;
    }
    const size_t end = title.find_last_not_of(u' ');
    return end == std::u16string::npos ? std::u16string{} : title.substr(0, end + 1);
}

} // namespace

int64_t AudioInfo::frames(double framesPerSecond) const
{
    if (framesPerSecond <= 0 || seconds <= 0)
        return 0;
    return static_cast<int64_t>(std::ceil(seconds * framesPerSecond - 1e-9));
}

bool probeAudio(const std::string& path, AudioInfo* info, std::string* error)
{
    if (hx::shouldFail("probeAudio")) {
        if (error)
            *error = "cannot read " + path + " now";
        return false;
    }
    try {
        const hx::SoundModule* sound = hx::moduleTable<hx::SoundModule>(error);
        if (!sound)
            return false;
        AudioInfo found;
        std::string title;
        if (!sound->probe(path, found, title, error))
            return false;
        found.title = shownTitle(title);
        if (info)
            *info = std::move(found);
        return true;
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "out of memory";
        return false;
    }
}

} // namespace hxhost
