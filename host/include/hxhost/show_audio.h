// The sound of a show: jingles from their frames, each until the next one starts; an optional music
// bed under the whole show (looped, lowered while a jingle sounds); faded in and out at the show's
// ends; brought to a loudness target with its true peak kept under -1 dBTP in the encoded file.
// The export writes it, and a player plays it, through ShowAudio::sound.
#ifndef HXHOST_SHOW_AUDIO_H
#define HXHOST_SHOW_AUDIO_H

#include "hxhost/api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hx {
class AudioMix;
class ShowLevel;
}

namespace hxhost {

struct JingleAt {
    int64_t frame = 0; // the show frame the jingle starts at
    std::string path;  // any sound file the FFmpeg libraries decode
};

// Jingles longer than this are cut: a jingle is a short sound, and its file's length is not trusted.
constexpr int64_t kMaxJingleSeconds = 60;

// Integrated loudness (LUFS) people's players expect of shared video.
constexpr double kDefaultLoudness = -16.0;
constexpr double kDefaultFadeSeconds = 1.0;

// How a show sounds and ends, beyond its jingles.
struct SoundSettings {
    std::string music;                                  // a music bed under the whole show; empty for none
    std::optional<double> loudness = kDefaultLoudness;  // integrated LUFS; none: the mix's own level
    double fadeSeconds = kDefaultFadeSeconds;           // in at the start and out at the end (the picture
                                                        // fades from and to black with it); 0 for none
};

class HXHOST_API ShowAudio {
public:
    // `fractionalRate`: the frames last 1001/1000 of 1 / framesPerSecond.
    ShowAudio(int64_t frames, int32_t framesPerSecond, std::vector<JingleAt> jingles, SoundSettings settings,
              bool fractionalRate = false);
    ~ShowAudio();
    // Decodes each jingle file once, opens the music and measures the whole mix; false with a
    // reason naming the file.
    bool open(std::string* error);
    // Samples [first, first + count) of the show (interleaved stereo at 48 kHz), from anywhere in
    // it; a span that follows on from the last is the cheapest.
    bool sound(int64_t first, size_t count, std::vector<float>& samples, std::string* error);
    // The samples of one frame: sound() over the frame's span.
    bool frameSound(int64_t frame, std::vector<float>& samples, std::string* error);
    // The show's length in samples.
    int64_t samples() const;
    // The mix's integrated loudness before its level was set (-HUGE_VAL for silence), and the gain set.
    double measuredLufs() const;
    double gainDb() const;

private:
    int64_t frames_;
    int32_t framesPerSecond_;
    bool fractionalRate_;
    std::vector<JingleAt> jingles_;
    SoundSettings settings_;
    std::unique_ptr<hx::AudioMix> mix_;
    std::unique_ptr<hx::ShowLevel> level_;
    int64_t next_ = -1; // where the last span ended; -1 before the first and after a failure
};

struct Storyboard;

// The sound of a storyboard at a frame rate, not yet opened.
HXHOST_API std::unique_ptr<ShowAudio> storyboardSound(const Storyboard& board, int32_t framesPerSecond,
                                                      bool fractionalRate, const SoundSettings& settings);

// The sound of the active project's storyboard at the host's video format, opened; null with the
// reason naming the file that cannot be read.
HXHOST_API std::unique_ptr<ShowAudio> openShowAudio(const SoundSettings& settings, std::string* error);

} // namespace hxhost

#endif
