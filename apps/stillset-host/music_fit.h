// The photo duration and transition length, among those the tool's popups offer, whose show lasts
// closest to its music.
#ifndef STILLSET_HOST_MUSIC_FIT_H
#define STILLSET_HOST_MUSIC_FIT_H

#include "hxhost/video_format.h"

#include <cstdint>

struct MusicFit {
    int32_t durationCode = 0, transitionLengthCode = 0; // the popups' entries
    double photoSeconds = 0, transitionSeconds = 0;     // what they stand for; 0 without transitions
    double showSeconds = 0;                             // the show they make
};

// For `photos` photos (more than 0) at `format`, as the tool builds them: each photo's scene as
// long as the duration, and, `withTransitions`, a transition of the chosen length (at most half a
// scene, and half of that when it would take the whole half and serves one photo, `repeat` 1)
// overlapping each pair of neighbours.
MusicFit fitToMusic(int64_t photos, double musicSeconds, const hxhost::VideoFormat& format, bool withTransitions, int32_t repeat);

#endif
