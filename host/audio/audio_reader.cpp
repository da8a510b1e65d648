// A sound file as 48 kHz stereo: decoded frames go through libswresample, which is set up again
// whenever a frame's rate or channels differ from the last (chained Ogg streams do that).
#include "hxhost/audio.h"

#include "audio/audio_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hxhost {
namespace {

// Left and right each take the one channel whole (output rows, input columns).
const double kMonoToBothSides[2] = {1.0, 1.0};

} // namespace

struct AudioReader::Impl {
    hx::AudioInput input;
    SwrContext* resampler = nullptr;
    int rate = 0;
    AVChannelLayout layout{};
    std::vector<float> pending; // converted frames not yet read, interleaved
    size_t consumed = 0;        // of pending, in samples
    bool flushed = false;
    std::string error;

    ~Impl()
    {
        swr_free(&resampler);
        av_channel_layout_uninit(&layout);
    }

    bool configure(const AVFrame* frame);
    bool convert(const uint8_t** data, int samples);
    // At least one more converted frame in `pending`, or false at the end or on failure.
    bool refill();
};

bool AudioReader::Impl::configure(const AVFrame* frame)
{
    if (resampler && frame->sample_rate == rate && av_channel_layout_compare(&frame->ch_layout, &layout) == 0)
        return true;
    // The old resampler's tail belongs to the old format: keep it before switching.
    if (resampler && !convert(nullptr, 0))
        return false;
    swr_free(&resampler);
    av_channel_layout_uninit(&layout);
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, frame->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&layout, &frame->ch_layout) < 0)
        return false;
    rate = frame->sample_rate;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_FLT, kMixRate, &layout,
                            static_cast<AVSampleFormat>(frame->format), rate, 0, nullptr) < 0 ||
        // A mono sound plays at its own level on both sides, not 3 dB down as a centre channel would.
        (layout.nb_channels == 1 && swr_set_matrix(resampler, kMonoToBothSides, 1) < 0) ||
        swr_init(resampler) < 0) {
        error = "the sound's format cannot be converted";
        return false;
    }
    return true;
}

bool AudioReader::Impl::convert(const uint8_t** data, int samples)
{
    const int room = swr_get_out_samples(resampler, samples);
    if (room < 0) {
        error = "the sound cannot be converted";
        return false;
    }
    if (consumed) {
        pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(consumed));
        consumed = 0;
    }
    const size_t before = pending.size();
    pending.resize(before + static_cast<size_t>(room) * kMixChannels);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending.data() + before);
    const int made = swr_convert(resampler, &out, room, data, samples);
    if (made < 0) {
        pending.resize(before);
        error = "the sound cannot be converted";
        return false;
    }
    pending.resize(before + static_cast<size_t>(made) * kMixChannels);
    return true;
}

bool AudioReader::Impl::refill()
{
    while (pending.size() == consumed) {
        const AVFrame* frame = input.next();
        if (!frame) {
            if (input.failed()) {
                error = input.error();
                return false;
            }
            if (flushed || !resampler)
                return false;
            flushed = true;
            if (!convert(nullptr, 0))
                return false;
            continue;
        }
        if (!configure(frame) || !convert(const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples))
            return false;
    }
    return true;
}

AudioReader::AudioReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AudioReader::~AudioReader() = default;

std::unique_ptr<AudioReader> AudioReader::open(const std::string& path, std::string* error)
{
    try {
        auto impl = std::make_unique<Impl>();
        if (!impl->input.open(path, error))
            return nullptr;
        return std::unique_ptr<AudioReader>(new AudioReader(std::move(impl)));
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "out of memory";
        return nullptr;
    }
}

int64_t AudioReader::read(float* out, int64_t frames)
{
    Impl& r = *impl_;
    if (!out || frames <= 0)
        return 0;
    int64_t done = 0;
    try {
        while (done < frames && r.refill()) {
            const size_t available = (r.pending.size() - r.consumed) / kMixChannels;
            const size_t take = std::min<size_t>(available, static_cast<size_t>(frames - done));
            std::memcpy(out + done * kMixChannels, r.pending.data() + r.consumed, take * kMixChannels * sizeof(float));
            r.consumed += take * kMixChannels;
            done += static_cast<int64_t>(take);
        }
    } catch (const std::bad_alloc&) {
        r.error = "out of memory";
    }
    return r.error.empty() ? done : -1;
}

int64_t AudioReader::read(int16_t* out, int64_t frames)
{
    if (!out || frames <= 0)
        return 0;
    float block[1024 * kMixChannels];
    int64_t done = 0;
    while (done < frames) {
        const int64_t got = read(block, std::min<int64_t>(frames - done, 1024));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        for (int64_t i = 0; i < got * kMixChannels; ++i)
            out[done * kMixChannels + i] = static_cast<int16_t>(std::lround(std::clamp(block[i], -1.0f, 1.0f) * 32767.0f));
        done += got;
    }
    return done;
}

const std::string& AudioReader::error() const
{
    return impl_->error;
}

bool decodeAudio(const std::string& path, std::vector<float>& samples, double maxSeconds, std::string* error)
{
    samples.clear();
    std::unique_ptr<AudioReader> reader = AudioReader::open(path, error);
    if (!reader)
        return false;
    const auto limit = static_cast<int64_t>(std::clamp(maxSeconds, 0.0, kMaxAudioSeconds) * kMixRate);
    try {
        constexpr int64_t kBlock = 4096;
        for (int64_t total = 0; total < limit;) {
            const int64_t want = std::min(kBlock, limit - total);
            samples.resize(static_cast<size_t>(total + want) * kMixChannels);
            const int64_t got = reader->read(samples.data() + total * kMixChannels, want);
            if (got < 0) {
                samples.clear();
                if (error)
                    *error = path + ": " + reader->error();
                return false;
            }
            total += got;
            samples.resize(static_cast<size_t>(total) * kMixChannels);
            if (got == 0)
                break;
        }
    } catch (const std::bad_alloc&) {
        samples.clear();
        if (error)
            *error = "out of memory";
        return false;
    }
    if (samples.empty()) {
        if (error)
            *error = path + " decodes to no sound";
        return false;
    }
    return true;
}

} // namespace hxhost
