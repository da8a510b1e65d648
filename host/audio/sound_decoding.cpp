// The media module's sound side: a sound file probed by decoding it whole, and its sound as 48 kHz
// stereo. Decoded frames go through libswresample, which is set up again whenever a frame's rate or
// channels differ from the last (chained Ogg streams do that).
#include "audio/sound_module.h"

#include "audio/audio_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using hxhost::kMixChannels;
using hxhost::kMixRate;

// Left and right each take the one channel whole (output rows, input columns).
const double kMonoToBothSides[2] = {1.0, 1.0};

std::string titleTag(const AVFormatContext* format, int stream)
{
    const AVDictionaryEntry* tag = av_dict_get(format->metadata, "title", nullptr, 0);
    if (!tag && stream >= 0)
        tag = av_dict_get(format->streams[stream]->metadata, "title", nullptr, 0);
    return tag && tag->value ? tag->value : "";
}

bool probe(const std::string& path, hxhost::AudioInfo& info, std::string& title, std::string* error)
{
    hx::AudioInput input;
    if (!input.open(path, error))
        return false;
    info.container = input.format()->iformat->name;
    info.codec = avcodec_get_name(input.codec()->codec_id);
    info.sampleRate = input.codec()->sample_rate;
    info.channels = input.codec()->ch_layout.nb_channels;
    title = titleTag(input.format(), input.stream());
    // The length is what decodes, frame by frame at each frame's own rate.
    while (const AVFrame* frame = input.next()) {
        info.samples += frame->nb_samples;
        info.seconds += static_cast<double>(frame->nb_samples) / frame->sample_rate;
        if (info.seconds > hxhost::kMaxAudioSeconds) {
            if (error)
                *error = path + " is longer than " + std::to_string(static_cast<int>(hxhost::kMaxAudioSeconds / 3600)) + " hours";
            return false;
        }
    }
    if (input.failed() || info.samples == 0) {
        if (error)
            *error = path + (input.failed() ? ": " + input.error() : std::string(" decodes to no sound"));
        return false;
    }
    return true;
}

class ResampledSound final : public hx::SoundStream {
public:
    ~ResampledSound() override
    {
        swr_free(&resampler_);
        av_channel_layout_uninit(&layout_);
    }

    bool open(const std::string& path, std::string* error) { return input_.open(path, error); }

    int64_t read(float* out, int64_t frames) override
    {
        if (!out || frames <= 0)
            return 0;
        int64_t done = 0;
        try {
            while (done < frames && refill()) {
                const size_t available = (pending_.size() - consumed_) / kMixChannels;
                const size_t take = std::min<size_t>(available, static_cast<size_t>(frames - done));
                std::memcpy(out + done * kMixChannels, pending_.data() + consumed_, take * kMixChannels * sizeof(float));
                consumed_ += take * kMixChannels;
                done += static_cast<int64_t>(take);
            }
        } catch (const std::bad_alloc&) {
            error_ = "out of memory";
        }
        return error_.empty() ? done : -1;
    }

    const std::string& error() const override { return error_; }

private:
    bool configure(const AVFrame* frame);
    bool convert(const uint8_t** data, int samples);
    // At least one more converted frame in `pending_`, or false at the end or on failure.
    bool refill();

    hx::AudioInput input_;
    SwrContext* resampler_ = nullptr;
    int rate_ = 0;
    AVChannelLayout layout_{};
    std::vector<float> pending_; // converted frames not yet read, interleaved
    size_t consumed_ = 0;        // of pending_, in samples
    bool flushed_ = false;
    std::string error_;
};

bool ResampledSound::configure(const AVFrame* frame)
{
    if (resampler_ && frame->sample_rate == rate_ && av_channel_layout_compare(&frame->ch_layout, &layout_) == 0)
        return true;
    // The old resampler's tail belongs to the old format: keep it before switching.
    if (resampler_ && !convert(nullptr, 0))
        return false;
    swr_free(&resampler_);
    av_channel_layout_uninit(&layout_);
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout_, frame->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&layout_, &frame->ch_layout) < 0)
        return false;
    rate_ = frame->sample_rate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_FLT, kMixRate, &layout_,
                            static_cast<AVSampleFormat>(frame->format), rate_, 0, nullptr) < 0 ||
        // A mono sound plays at its own level on both sides, not 3 dB down as a centre channel would.
        (layout_.nb_channels == 1 && swr_set_matrix(resampler_, kMonoToBothSides, 1) < 0) ||
        swr_init(resampler_) < 0) {
        error_ = "the sound's format cannot be converted";
        return false;
    }
    return true;
}

bool ResampledSound::convert(const uint8_t** data, int samples)
{
    const int room = swr_get_out_samples(resampler_, samples);
    if (room < 0) {
        error_ = "the sound cannot be converted";
        return false;
    }
    if (consumed_) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(consumed_));
        consumed_ = 0;
    }
    const size_t before = pending_.size();
    pending_.resize(before + static_cast<size_t>(room) * kMixChannels);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data() + before);
    const int made = swr_convert(resampler_, &out, room, data, samples);
    if (made < 0) {
        pending_.resize(before);
        error_ = "the sound cannot be converted";
        return false;
    }
    pending_.resize(before + static_cast<size_t>(made) * kMixChannels);
    return true;
}

bool ResampledSound::refill()
{
    while (pending_.size() == consumed_) {
        const AVFrame* frame = input_.next();
        if (!frame) {
            if (input_.failed()) {
                error_ = input_.error();
                return false;
            }
            if (flushed_ || !resampler_)
                return false;
            flushed_ = true;
            if (!convert(nullptr, 0))
                return false;
            continue;
        }
        if (!configure(frame) || !convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples))
            return false;
    }
    return true;
}

std::unique_ptr<hx::SoundStream> open(const std::string& path, std::string* error)
{
    auto sound = std::make_unique<ResampledSound>();
    if (!sound->open(path, error))
        return nullptr;
    return sound;
}

} // namespace

HX_MODULE_TABLE const hx::SoundModule hxSoundModule = {probe, open};
