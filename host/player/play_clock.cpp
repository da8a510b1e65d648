#include "player/play_clock.h"

namespace hx {

int64_t PlayClock::sampleOfPicture(int64_t picture) const
{
    const int64_t frame = picture / fields_;
    const int64_t start = hxhost::audioSampleOfFrame(frame, rate_, fractional_);
    if (picture % fields_ == 0)
        return start;
    return start + (hxhost::audioSampleOfFrame(frame + 1, rate_, fractional_) - start) / 2;
}

int64_t PlayClock::pictureAt(int64_t sample) const
{
    if (sample <= 0)
        return 0;
    // An estimate from the rate, then the exact boundary: frame boundaries round down to whole samples.
    const double rate = fractional_ ? rate_ * 1000.0 / 1001.0 : static_cast<double>(rate_);
    const double framesPerSample = rate / hxhost::kAudioRate;
    int64_t picture = static_cast<int64_t>(static_cast<double>(sample) * framesPerSample * fields_);
    while (picture > 0 && sampleOfPicture(picture) > sample)
        --picture;
    while (sampleOfPicture(picture + 1) <= sample)
        ++picture;
    return picture;
}

} // namespace hx
