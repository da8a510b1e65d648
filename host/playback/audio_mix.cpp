#include "playback/audio_mix.h"

#include "hxhost/video_file.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kDuckAttack = hxhost::kAudioRate / 10;      // the music goes down in 0.1 s before a jingle
constexpr int64_t kDuckRelease = hxhost::kAudioRate * 4 / 10; // and comes back in 0.4 s after it
constexpr int64_t kFadeOut = hxhost::kAudioRate * 3;          // the last 3 s of the show
constexpr int64_t kLimiterRelease = hxhost::kAudioRate / 10;

int64_t cueEnd(const hx::JingleCue& cue)
{
    return cue.startSample + static_cast<int64_t>(cue.sound->size() / hxhost::kAudioChannels);
}

} // namespace

namespace hx {

AudioMix::AudioMix(int64_t totalSamples, std::vector<JingleCue> jingles, std::string musicPath)
    : total_(totalSamples), jingles_(std::move(jingles)), musicPath_(std::move(musicPath))
{
}

bool AudioMix::open(std::string* error)
{
    if (musicPath_.empty())
        return true;
    music_ = hxhost::AudioReader::open(musicPath_, error);
    musicAt_ = 0;
    musicHeard_ = false;
    return music_ != nullptr;
}

bool AudioMix::mix(int64_t start, size_t count, std::vector<float>& out, std::string* error)
{
    out.assign(count * hxhost::kAudioChannels, 0.0f);
    if (music_ && !addMusic(start, count, out, error))
        return false;
    const int64_t end = start + static_cast<int64_t>(count);
    for (const JingleCue& cue : jingles_) {
        const int64_t from = std::max(start, cue.startSample), to = std::min({end, cueEnd(cue), total_});
        for (int64_t t = from; t < to; ++t)
            for (int c = 0; c < hxhost::kAudioChannels; ++c)
                out[static_cast<size_t>((t - start) * hxhost::kAudioChannels + c)] +=
                    (*cue.sound)[static_cast<size_t>((t - cue.startSample) * hxhost::kAudioChannels + c)];
    }
    limit(out);
    return true;
}

bool AudioMix::addMusic(int64_t start, size_t count, std::vector<float>& out, std::string* error)
{
    // A first call past the start skips the music up to it.
    while (musicAt_ < start) {
        const size_t skip = static_cast<size_t>(std::min<int64_t>(start - musicAt_, 48000));
        scratch_.resize(skip * hxhost::kAudioChannels);
        if (!readMusic(scratch_.data(), skip, error))
            return false;
    }
    scratch_.resize(count * hxhost::kAudioChannels);
    if (!readMusic(scratch_.data(), count, error))
        return false;
    // Only the jingles near this stretch lower it.
    const int64_t end = start + static_cast<int64_t>(count);
    near_.clear();
    for (const JingleCue& cue : jingles_)
        if (cue.startSample - kDuckAttack < end && cueEnd(cue) + kDuckRelease > start)
            near_.push_back(&cue);
    for (size_t i = 0; i < count; ++i) {
        const float gain = musicGain(start + static_cast<int64_t>(i));
        for (int c = 0; c < hxhost::kAudioChannels; ++c)
            out[i * hxhost::kAudioChannels + c] += gain * scratch_[i * hxhost::kAudioChannels + c];
    }
    return true;
}

// Reads on from the music, starting it again when it ends, so the bed lasts the whole show.
bool AudioMix::readMusic(float* out, size_t sampleFrames, std::string* error)
{
    size_t done = 0;
    while (done < sampleFrames) {
        const int64_t got = music_->read(out + done * hxhost::kAudioChannels, static_cast<int64_t>(sampleFrames - done));
        if (got < 0) {
            if (error)
                *error = musicPath_ + ": " + music_->error();
            return false;
        }
        done += static_cast<size_t>(got);
        musicAt_ += got;
        musicHeard_ = musicHeard_ || got > 0;
        if (done < sampleFrames) {
            if (!musicHeard_) { // nothing to loop: silence for the rest
                std::fill(out + done * hxhost::kAudioChannels, out + sampleFrames * hxhost::kAudioChannels, 0.0f);
                musicAt_ += static_cast<int64_t>(sampleFrames - done);
                return true;
            }
            const int64_t at = musicAt_;
            if (!open(error))
                return false;
            musicAt_ = at;
        }
    }
    return true;
}

float AudioMix::musicGain(int64_t t) const
{
    float gain = 1.0f;
    for (const JingleCue* cue : near_) {
        const int64_t begin = cue->startSample, end = cueEnd(*cue);
        float depth = 0; // 0: full music, 1: fully lowered
        if (t >= begin && t < end)
            depth = 1;
        else if (t < begin && t >= begin - kDuckAttack)
            depth = 1.0f - static_cast<float>(begin - t) / kDuckAttack;
        else if (t >= end && t < end + kDuckRelease)
            depth = 1.0f - static_cast<float>(t - end) / kDuckRelease;
        gain = std::min(gain, 1.0f - depth * (1.0f - kDuckedMusic));
    }
    const int64_t fade = std::min(kFadeOut, total_ / 3);
    if (fade > 0 && t >= total_ - fade)
        gain *= static_cast<float>(std::max<int64_t>(total_ - t, 0)) / static_cast<float>(fade);
    return gain;
}

// Peak limiting with an instant attack and a smooth release: no sample leaves [-kCeiling, kCeiling].
void AudioMix::limit(std::vector<float>& out)
{
    // Released and under the ceiling throughout: every gain would be one.
    float loudest = 0;
    for (float sample : out)
        loudest = std::max(loudest, std::fabs(sample));
    if (gain_ == 1.0f && loudest <= kCeiling)
        return;
    const float release = 1.0f - std::exp(-1.0f / kLimiterRelease);
    for (size_t i = 0; i < out.size(); i += hxhost::kAudioChannels) {
        float peak = 0;
        for (int c = 0; c < hxhost::kAudioChannels; ++c)
            peak = std::max(peak, std::fabs(out[i + c]));
        const float needed = peak > kCeiling ? kCeiling / peak : 1.0f;
        gain_ = std::min(gain_ + (1.0f - gain_) * release, needed);
        for (int c = 0; c < hxhost::kAudioChannels; ++c)
            out[i + c] *= gain_;
    }
}

} // namespace hx
