#include "music_fit.h"

#include "slideshow_script.h"

#include <cmath>

namespace {

// The frames of a show of `photos` scenes of `scene` frames with transitions asked `transition` long.
int64_t showFrames(int64_t photos, int32_t scene, int32_t transition, int32_t repeat)
{
    const int32_t longest = scene / 2;
    if (transition > longest)
        transition = longest;
    if (repeat == 1 && transition == longest)
        transition /= 2;
    return photos * scene - (photos - 1) * transition;
}

} // namespace

MusicFit fitToMusic(int64_t photos, double musicSeconds, const hxhost::VideoFormat& format, bool withTransitions, int32_t repeat)
{
    const double trueRate = format.fractionalRate ? format.framesPerSecond * 1000.0 / 1001.0 : format.framesPerSecond;
    MusicFit best;
    double bestMiss = INFINITY;
    for (const PopupEntry& duration : photoDurations())
        for (const PopupEntry& length : transitionLengths()) {
            // The tool counts its seconds in the whole rate the host tells it.
            const auto scene = static_cast<int32_t>(duration.value * format.framesPerSecond);
            const int32_t transition = withTransitions ? static_cast<int32_t>(length.value * format.framesPerSecond) : 0;
            const double seconds = static_cast<double>(showFrames(photos, scene, transition, repeat)) / trueRate;
            const double miss = std::fabs(seconds - musicSeconds);
            // Among equals, the transition nearest the tool's own 1 second.
            const bool better = miss < bestMiss - 1e-9 ||
                                (miss < bestMiss + 1e-9 && std::fabs(length.value - 1) < std::fabs(best.transitionSeconds - 1));
            if (better) {
                bestMiss = miss;
                best = {duration.code, length.code, duration.value, length.value, seconds};
            }
        }
    if (!withTransitions)
        best.transitionSeconds = 0;
    return best;
}
