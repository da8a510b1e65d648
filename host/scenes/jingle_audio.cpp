// A jingle is measured by the host's sound probe: only sound that decodes counts.
#include "scenes/storyboard_operators.h"

#include "hxhost/audio.h"

namespace hx {

std::optional<int64_t> measureJingle(const std::string& path)
{
    hxhost::AudioInfo info;
    if (!hxhost::probeAudio(path, &info) || info.sampleRate <= 0)
        return std::nullopt;
    return info.samples * 1000000 / info.sampleRate;
}

} // namespace hx
