// The sound of a show at 48 kHz stereo as it is put together, before its level is set: silence, an
// optional music bed looped under the whole show and lowered while a jingle sounds, each jingle from
// its start sample until the next one starts or the show ends, and the whole faded in and out at the
// show's ends.
#ifndef HX_AUDIO_MIX_H
#define HX_AUDIO_MIX_H

#include "hxhost/audio.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hx {

struct JingleCue {
    int64_t startSample = 0;
    std::shared_ptr<const std::vector<float>> sound; // interleaved stereo
};

class AudioMix {
public:
    // `totalSamples` is the show's length; `musicPath` empty for none; `fadeSamples` the fade in at
    // the start and out at the end, 0 for none.
    AudioMix(int64_t totalSamples, std::vector<JingleCue> jingles, std::string musicPath, int64_t fadeSamples);
    // Opens the music, from its start; false with a reason.
    bool open(std::string* error);
    // Samples [start, start + count) of the show into `out` (interleaved stereo). Calls go forward:
    // each starts where the last ended, except the first after open(), which may start anywhere.
    bool mix(int64_t start, size_t count, std::vector<float>& out, std::string* error);

    static constexpr float kDuckedMusic = 0.3f;
    // A jingle cut short by the next one, or by the show's end, fades out over this.
    static constexpr int64_t kJingleStop = hxhost::kMixRate / 10;

private:
    // A jingle as it sounds: from its start to where it ends or is cut.
    struct Sounding {
        int64_t start = 0, end = 0;
        bool cut = false;
        std::shared_ptr<const std::vector<float>> sound;
    };

    bool addMusic(int64_t start, size_t count, std::vector<float>& out, std::string* error);
    void addJingle(const Sounding& jingle, int64_t start, int64_t end, std::vector<float>& out) const;
    bool readMusic(float* out, size_t sampleFrames, std::string* error);
    // The music's gain at sample t: lowered while a jingle sounds.
    float musicGain(int64_t t) const;

    int64_t total_;
    int64_t fade_;
    std::vector<Sounding> jingles_; // in order of start
    std::string musicPath_;
    std::unique_ptr<hxhost::AudioReader> music_;
    int64_t musicAt_ = 0; // the show sample the music reader is at
    bool musicHeard_ = false; // the file gave samples since it was opened: an empty file is not looped
    std::vector<float> scratch_;
    std::vector<const Sounding*> near_; // the jingles that lower the stretch being mixed
};

} // namespace hx

#endif
