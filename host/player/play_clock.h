// The player's time: which picture of the show a sample of its sound falls in. A progressive frame is
// one picture; an interlaced frame is two, each field at its own instant (the second from the
// frame's middle sample), so 576i shows 50 pictures a second.
#ifndef HX_PLAYER_PLAY_CLOCK_H
#define HX_PLAYER_PLAY_CLOCK_H

#include "hxhost/video_file.h"

#include <cstdint>

namespace hx {

class PlayClock {
public:
    explicit PlayClock(const hxhost::VideoFileFormat& format)
        : rate_(format.framesPerSecond), fractional_(format.fractionalRate), fields_(format.progressive ? 1 : 2)
    {
    }
    int32_t picturesPerFrame() const { return fields_; }
    // The first sample of picture p (frame p / picturesPerFrame, its field p % picturesPerFrame).
    int64_t sampleOfPicture(int64_t picture) const;
    // The picture that sample s of the show falls in.
    int64_t pictureAt(int64_t sample) const;

private:
    int32_t rate_;
    bool fractional_;
    int32_t fields_;
};

} // namespace hx

#endif
