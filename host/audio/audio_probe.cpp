// What a sound file holds: its kind, codec, rate, channels, title and the length that decodes.
#include "hxhost/audio.h"

#include "audio/audio_input.h"
#include "runtime/host_state.h"
#include "text/utf.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <cmath>

namespace hxhost {
namespace {

// Titles are shown in one line of a list: printable, and not longer than a list row holds.
constexpr size_t kMaxTitle = 200;

std::u16string titleOf(const AVFormatContext* format, int stream)
{
    const AVDictionaryEntry* tag = av_dict_get(format->metadata, "title", nullptr, 0);
    if (!tag && stream >= 0)
        tag = av_dict_get(format->streams[stream]->metadata, "title", nullptr, 0);
    if (!tag || !tag->value)
        return {};
    std::u16string title;
    for (char16_t c : hx::utf8To16(tag->value)) {
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
        hx::AudioInput input;
        if (!input.open(path, error))
            return false;
        AudioInfo found;
        found.container = input.format()->iformat->name;
        found.codec = avcodec_get_name(input.codec()->codec_id);
        found.sampleRate = input.codec()->sample_rate;
        found.channels = input.codec()->ch_layout.nb_channels;
        found.title = titleOf(input.format(), input.stream());
        // The length is what decodes, frame by frame at each frame's own rate.
        while (const AVFrame* frame = input.next()) {
            found.samples += frame->nb_samples;
            found.seconds += static_cast<double>(frame->nb_samples) / frame->sample_rate;
            if (found.seconds > kMaxAudioSeconds) {
                if (error)
                    *error = path + " is longer than " + std::to_string(static_cast<int>(kMaxAudioSeconds / 3600)) + " hours";
                return false;
            }
        }
        if (input.failed() || found.samples == 0) {
            if (error)
                *error = path + (input.failed() ? ": " + input.error() : std::string(" decodes to no sound"));
            return false;
        }
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
