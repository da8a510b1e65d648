// A sound's loudness and peaks as EBU R128 measures them, to check what a show sounds like.
#ifndef TESTS_SUPPORT_LOUDNESS_METER_H
#define TESTS_SUPPORT_LOUDNESS_METER_H

#include <vector>

struct Loudness {
    double integratedLufs = 0; // -HUGE_VAL for silence
    double truePeakDbtp = 0;   // the louder channel's
    float samplePeak = 0;      // the largest sample's size
};

// Of interleaved stereo at `rate`.
Loudness measureLoudness(const std::vector<float>& stereo, unsigned long rate = 48000);

#endif
