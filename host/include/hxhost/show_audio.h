// The sound of a show, frame by frame: jingles from their frames, an optional music bed under the
// whole show (looped, lowered under each jingle, faded out at the end), limited rather than clipped.
#ifndef HXHOST_SHOW_AUDIO_H
#define HXHOST_SHOW_AUDIO_H

#include "hxhost/api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hx {
class AudioMix;
}

namespace hxhost {

struct JingleAt {
    int64_t frame = 0; // the show frame the jingle starts at
    std::string path;  // any sound file the FFmpeg libraries decode
};

// Jingles longer than this are cut: a jingle is a short sound, and its file's length is not trusted.
constexpr int64_t kMaxJingleSeconds = 60;

class HXHOST_API ShowAudio {
public:
    // `fractionalRate`: the frames last 1001/1000 of 1 / framesPerSecond.
    ShowAudio(int64_t frames, int32_t framesPerSecond, std::vector<JingleAt> jingles, std::string musicPath,
              bool fractionalRate = false);
    ~ShowAudio();
    // Decodes each jingle file once and opens the music; false with a reason naming the file.
    bool open(std::string* error);
    // The samples of one frame (interleaved stereo at 48 kHz). Frames go forward one at a time from any first one.
    bool frameSound(int64_t frame, std::vector<float>& samples, std::string* error);

private:
    int64_t frames_;
    int32_t framesPerSecond_;
    bool fractionalRate_;
    std::vector<JingleAt> jingles_;
    std::string musicPath_;
    std::unique_ptr<hx::AudioMix> mix_;
};

} // namespace hxhost

#endif
