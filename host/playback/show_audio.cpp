#include "hxhost/show_audio.h"

#include "hxhost/storyboard.h"
#include "hxhost/video_file.h"
#include "hxhost/video_format.h"
#include "playback/audio_mix.h"
#include "playback/show_fade.h"
#include "playback/show_level.h"
#include "scenes/project_media.h"

#include <cmath>
#include <map>

namespace hxhost {
namespace {

// The jingles of the storyboard's transitions, each from the frame its transition starts at.
std::vector<JingleAt> jinglesOf(const Storyboard& board)
{
    std::vector<JingleAt> jingles;
    for (size_t i = 0; i + 1 < board.scenes.size(); ++i) {
        const auto& transition = board.scenes[i].transition;
        if (transition && !transition->jingleFile.empty())
            jingles.push_back({board.scenes[i + 1].position, hx::projectFilePath(transition->jingleFile)});
    }
    return jingles;
}

} // namespace

ShowAudio::ShowAudio(int64_t frames, int32_t framesPerSecond, std::vector<JingleAt> jingles, SoundSettings settings,
                     bool fractionalRate)
    : frames_(frames), framesPerSecond_(framesPerSecond), fractionalRate_(fractionalRate), jingles_(std::move(jingles)),
      settings_(std::move(settings))
{
}

ShowAudio::~ShowAudio() = default;

int64_t ShowAudio::samples() const
{
    return audioSampleOfFrame(frames_, framesPerSecond_, fractionalRate_);
}

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
    const int64_t total = samples();
    const int64_t fade = hx::fadeSteps(settings_.fadeSeconds, kMixRate);
    mix_ = std::make_unique<hx::AudioMix>(total, std::move(cues), settings_.music, fade);
    level_ = std::make_unique<hx::ShowLevel>(settings_.loudness);
    // The whole mix is measured first, and measured again levelled while the limiter's work needs
    // making up: its level is set from all of it, whichever span is played.
    std::vector<float> block;
    for (bool again = true, first = true; again; first = false) {
        if (!mix_->open(error))
            return false;
        for (int64_t at = 0; at < total; at += kMixRate) {
            const auto count = static_cast<size_t>(std::min<int64_t>(kMixRate, total - at));
            if (!mix_->mix(at, count, block, error))
                return false;
            if (!first)
                level_->apply(at, block.data(), count);
            if (!level_->measure(block.data(), count)) {
                if (error)
                    *error = "out of memory measuring the show's loudness";
                return false;
            }
        }
        if (!level_->settle(again, error))
            return false;
    }
    return true;
}

bool ShowAudio::sound(int64_t first, size_t count, std::vector<float>& samples, std::string* error)
{
    // Anywhere else than on from the last span, the music is read again from its start to get there.
    if (first != next_ && !mix_->open(error))
        return false;
    next_ = -1;
    if (!mix_->mix(first, count, samples, error))
        return false;
    level_->apply(first, samples.data(), count);
    next_ = first + static_cast<int64_t>(count);
    return true;
}

bool ShowAudio::frameSound(int64_t frame, std::vector<float>& samples, std::string* error)
{
    const int64_t start = audioSampleOfFrame(frame, framesPerSecond_, fractionalRate_);
    const int64_t end = audioSampleOfFrame(frame + 1, framesPerSecond_, fractionalRate_);
    return sound(start, static_cast<size_t>(end - start), samples, error);
}

double ShowAudio::measuredLufs() const
{
    return level_ ? level_->measuredLufs() : -HUGE_VAL;
}

double ShowAudio::gainDb() const
{
    return level_ ? level_->gainDb() : 0.0;
}

std::unique_ptr<ShowAudio> storyboardSound(const Storyboard& board, int32_t framesPerSecond, bool fractionalRate,
                                           const SoundSettings& settings)
{
    return std::make_unique<ShowAudio>(board.length, framesPerSecond, jinglesOf(board), settings, fractionalRate);
}

std::unique_ptr<ShowAudio> openShowAudio(const SoundSettings& settings, std::string* error)
{
    const VideoFormat& format = videoFormat();
    std::unique_ptr<ShowAudio> audio = storyboardSound(storyboard(), format.framesPerSecond, format.fractionalRate, settings);
    if (!audio->open(error))
        return nullptr;
    return audio;
}

} // namespace hxhost
