// The sound of a show at 48 kHz stereo: silence, an optional music bed looped under the whole show,
// lowered under each jingle and faded out at the end, and each jingle from its start sample. A
// limiter keeps the sum within range: loud moments are turned down, never clipped or wrapped.
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
    // `totalSamples` is the show's length; `musicPath` empty for none.
    AudioMix(int64_t totalSamples, std::vector<JingleCue> jingles, std::string musicPath);
    // Opens the music; false with a reason.
    bool open(std::string* error);
    // Samples [start, start + count) of the show into `out` (interleaved stereo). Calls go forward:
    // each starts where the last ended, except the first, which may start anywhere.
    bool mix(int64_t start, size_t count, std::vector<float>& out, std::string* error);

    static constexpr float kCeiling = 0.98f;
    static constexpr float kDuckedMusic = 0.3f;

private:
    bool addMusic(int64_t start, size_t count, std::vector<float>& out, std::string* error);
    bool readMusic(float* out, size_t sampleFrames, std::string* error);
    // The music's gain at sample t: lowered under jingles, faded out at the end.
    float musicGain(int64_t t) const;
    void limit(std::vector<float>& out);

    int64_t total_;
    std::vector<JingleCue> jingles_;
    std::string musicPath_;
    std::unique_ptr<hxhost::AudioReader> music_;
    int64_t musicAt_ = 0; // the show sample the music reader is at
    bool musicHeard_ = false; // the file gave samples since it was opened: an empty file is not looped
    float gain_ = 1.0f;   // the limiter's gain
    std::vector<float> scratch_;
    std::vector<const JingleCue*> near_; // the jingles that lower the stretch being mixed
};

} // namespace hx

#endif
