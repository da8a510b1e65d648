#include "playback/audio_mix.h"

#include "playback/show_fade.h"

#include <algorithm>
#include <cmath>

namespace {

using hxhost::kMixChannels;

constexpr int64_t kDuckAttack = hxhost::kMixRate / 10;      // the music goes down in 0.1 s before a jingle
constexpr int64_t kDuckRelease = hxhost::kMixRate * 4 / 10; // and comes back in 0.4 s after it

int64_t soundEnd(const hx::JingleCue& cue)
{
    return cue.startSample + static_cast<int64_t>(cue.sound->size() / kMixChannels);
}

} // namespace

namespace hx {

AudioMix::AudioMix(int64_t totalSamples, std::vector<JingleCue> jingles, std::string musicPath, int64_t fadeSamples)
    : total_(totalSamples), fade_(fadeSamples), musicPath_(std::move(musicPath))
{
    std::stable_sort(jingles.begin(), jingles.end(),
                     [](const JingleCue& a, const JingleCue& b) { return a.startSample < b.startSample; });
    // One jingle at a time: each stops where the next starts, and all stop at the show's end.
    for (size_t i = 0; i < jingles.size(); ++i) {
        const int64_t stop = i + 1 < jingles.size() ? jingles[i + 1].startSample : total_;
        const int64_t start = jingles[i].startSample, end = std::min(soundEnd(jingles[i]), stop);
        if (end > start)
            jingles_.push_back({start, end, end < soundEnd(jingles[i]), jingles[i].sound});
    }
}

bool AudioMix::open(std::string* error)
{
    musicAt_ = 0;
    musicHeard_ = false;
    if (musicPath_.empty())
        return true;
    music_ = hxhost::AudioReader::open(musicPath_, error);
    return music_ != nullptr;
}

bool AudioMix::mix(int64_t start, size_t count, std::vector<float>& out, std::string* error)
{
    out.assign(count * kMixChannels, 0.0f);
    if (music_ && !addMusic(start, count, out, error))
        return false;
    const int64_t end = start + static_cast<int64_t>(count);
    for (const Sounding& jingle : jingles_)
        if (jingle.start < end && jingle.end > start)
            addJingle(jingle, start, end, out);
    if (fade_ > 0)
        for (size_t i = 0; i < count; ++i) {
            const int64_t t = start + static_cast<int64_t>(i);
            const auto level = static_cast<float>(showFadeLevel(t, total_ - t, fade_));
            for (int c = 0; c < kMixChannels; ++c)
                out[i * kMixChannels + c] *= level;
        }
    return true;
}

void AudioMix::addJingle(const Sounding& jingle, int64_t start, int64_t end, std::vector<float>& out) const
{
    const int64_t from = std::max(start, jingle.start), to = std::min(end, jingle.end);
    const int64_t stopFrom = jingle.cut ? jingle.end - kJingleStop : jingle.end;
    for (int64_t t = from; t < to; ++t) {
        const float gain = t < stopFrom ? 1.0f : static_cast<float>(jingle.end - t) / static_cast<float>(kJingleStop);
        for (int c = 0; c < kMixChannels; ++c)
            out[static_cast<size_t>((t - start) * kMixChannels + c)] +=
                gain * (*jingle.sound)[static_cast<size_t>((t - jingle.start) * kMixChannels + c)];
    }
}

bool AudioMix::addMusic(int64_t start, size_t count, std::vector<float>& out, std::string* error)
{
    // A first call past the start skips the music up to it.
    while (musicAt_ < start) {
        const size_t skip = static_cast<size_t>(std::min<int64_t>(start - musicAt_, hxhost::kMixRate));
        scratch_.resize(skip * kMixChannels);
        if (!readMusic(scratch_.data(), skip, error))
            return false;
    }
    scratch_.resize(count * kMixChannels);
    if (!readMusic(scratch_.data(), count, error))
        return false;
    // Only the jingles near this stretch lower it.
    const int64_t end = start + static_cast<int64_t>(count);
    near_.clear();
    for (const Sounding& jingle : jingles_)
        if (jingle.start - kDuckAttack < end && jingle.end + kDuckRelease > start)
            near_.push_back(&jingle);
    for (size_t i = 0; i < count; ++i) {
        const float gain = musicGain(start + static_cast<int64_t>(i));
        for (int c = 0; c < kMixChannels; ++c)
            out[i * kMixChannels + c] += gain * scratch_[i * kMixChannels + c];
    }
    return true;
}

// Reads on from the music, starting it again when it ends, so the bed lasts the whole show.
bool AudioMix::readMusic(float* out, size_t sampleFrames, std::string* error)
{
    size_t done = 0;
    while (done < sampleFrames) {
        const int64_t got = music_->read(out + done * kMixChannels, static_cast<int64_t>(sampleFrames - done));
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
                std::fill(out + done * kMixChannels, out + sampleFrames * kMixChannels, 0.0f);
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
    for (const Sounding* jingle : near_) {
        float depth = 0; // 0: full music, 1: fully lowered
        if (t >= jingle->start && t < jingle->end)
            depth = 1;
        else if (t < jingle->start && t >= jingle->start - kDuckAttack)
            depth = 1.0f - static_cast<float>(jingle->start - t) / kDuckAttack;
        else if (t >= jingle->end && t < jingle->end + kDuckRelease)
            depth = 1.0f - static_cast<float>(t - jingle->end) / kDuckRelease;
        gain = std::min(gain, 1.0f - depth * (1.0f - kDuckedMusic));
    }
    return gain;
}

} // namespace hx
