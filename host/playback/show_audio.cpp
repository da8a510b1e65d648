#include "hxhost/show_audio.h"

#include "hxhost/video_file.h"
#include "playback/audio_mix.h"

#include <map>

namespace hxhost {

ShowAudio::ShowAudio(int64_t frames, int32_t framesPerSecond, std::vector<JingleAt> jingles, std::string musicPath,
                     bool fractionalRate)
    : frames_(frames), framesPerSecond_(framesPerSecond), fractionalRate_(fractionalRate), jingles_(std::move(jingles)), musicPath_(std::move(musicPath))
{
}

ShowAudio::~ShowAudio() = default;

bool ShowAudio::open(std::string* error)
{
    // A show usually has one jingle at every transition: decode each file once.
    std::map<std::string, std::shared_ptr<const std::vector<float>>> decoded;
    std::vector<hx::JingleCue> cues;
    for (const JingleAt& jingle : jingles_) {
        auto& sound = decoded[jingle.path];
        if (!sound) {
            auto samples = std::make_shared<std::vector<float>>();
            if (!decodeAudio(jingle.path, *samples, kMaxJingleSeconds, error))
                return false;
            sound = std::move(samples);
        }
        cues.push_back({audioSampleOfFrame(jingle.frame, framesPerSecond_, fractionalRate_), sound});
    }
    mix_ = std::make_unique<hx::AudioMix>(audioSampleOfFrame(frames_, framesPerSecond_, fractionalRate_), std::move(cues), musicPath_);
    return mix_->open(error);
}

bool ShowAudio::frameSound(int64_t frame, std::vector<float>& samples, std::string* error)
{
    const int64_t start = audioSampleOfFrame(frame, framesPerSecond_, fractionalRate_);
    const int64_t end = audioSampleOfFrame(frame + 1, framesPerSecond_, fractionalRate_);
    return mix_->mix(start, static_cast<size_t>(end - start), samples, error);
}

} // namespace hxhost
