// A sound file as 48 kHz stereo: the media module decodes and converts it; 16-bit samples and whole
// files are made from its blocks here.
#include "hxhost/audio.h"

#include "audio/sound_module.h"

#include <algorithm>
#include <cmath>

namespace hxhost {

struct AudioReader::Impl {
    std::unique_ptr<hx::SoundStream> sound;
};

AudioReader::AudioReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AudioReader::~AudioReader() = default;

std::unique_ptr<AudioReader> AudioReader::open(const std::string& path, std::string* error)
{
    try {
        const hx::SoundModule* module = hx::moduleTable<hx::SoundModule>(error);
        if (!module)
            return nullptr;
        auto impl = std::make_unique<Impl>();
        impl->sound = module->open(path, error);
        if (!impl->sound)
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
    return impl_->sound->read(out, frames);
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
    return impl_->sound->error();
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
