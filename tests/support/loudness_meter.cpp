#include "support/loudness_meter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

Loudness measureLoudness(const std::vector<float>& stereo, unsigned long rate)
{
    Loudness out;
    ebur128_state* meter = ebur128_init(2, rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    if (!meter)
        return out;
    ebur128_add_frames_float(meter, stereo.data(), stereo.size() / 2);
    ebur128_loudness_global(meter, &out.integratedLufs);
    double peak = 0;
    for (unsigned c = 0; c < 2; ++c) {
        double side = 0;
        ebur128_true_peak(meter, c, &side);
        peak = std::max(peak, side);
    }
    out.truePeakDbtp = 20 * std::log10(std::max(peak, 1e-12));
    for (float s : stereo)
        out.samplePeak = std::max(out.samplePeak, std::fabs(s));
    ebur128_destroy(&meter);
    return out;
}
