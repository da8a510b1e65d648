// A show's level: its whole mix is measured (EBU R128 loudness and true peak, by libebur128), then
// any span of it is brought to the loudness target with one gain and kept under the true-peak
// ceiling by a limiter whose gain curve was worked out from the whole measurement, so a span sounds
// the same whether it is played on its own or as part of the show. What the limiter takes away is
// made up by measuring the levelled mix again and correcting the gain.
#ifndef HX_SHOW_LEVEL_H
#define HX_SHOW_LEVEL_H

#include <ebur128.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hx {

class ShowLevel {
public:
    // The mix's true peak stays this far under -1 dBTP: lossy encoders overshoot by up to about that.
    static constexpr double kEncoderHeadroomDb = 1.0;
    static constexpr double kCeilingDbtp = -1.0 - kEncoderHeadroomDb;
    // A quiet show is raised by at most this: what lies under it is hiss, not sound to bring up.
    static constexpr double kMaxGainDb = 20.0;

    explicit ShowLevel(std::optional<double> targetLufs);
    ~ShowLevel();
    ShowLevel(const ShowLevel&) = delete;
    ShowLevel& operator=(const ShowLevel&) = delete;

    // One pass over the whole mix, interleaved stereo, in order from the show's first sample: as it
    // is on the first pass, through apply() on the others. False when out of memory.
    bool measure(const float* samples, size_t frames);
    // Ends a pass. `again` when the level wants another pass to correct its gain; false with a reason.
    bool settle(bool& again, std::string* error);
    // Applies the level to samples [start, start + frames) of the mix.
    void apply(int64_t start, float* samples, size_t frames) const;

    // The mix as first measured, -HUGE_VAL when it is silent; and the gain chosen.
    double measuredLufs() const { return measured_; }
    double gainDb() const { return gainDb_; }

private:
    // Measures the samples in `pending_` as one block of the limiter's curve.
    bool addBlock();
    // After a pass over the levelled mix: a new gain to try, true, or false when it is settled.
    bool correct(double loudness);
    // The gain from gainDb_, and the limiter's curve for it.
    void shape();

    std::optional<double> target_;
    ebur128_state* meter_ = nullptr;
    int passes_ = 0;
    std::vector<float> blockPeaks_; // each block's true peak in the mix, the louder side
    std::vector<float> pending_;    // samples of a block not yet complete
    std::vector<float> limits_;     // the limiter's gain at each block's boundary
    double measured_ = 0;
    double gainDb_ = 0;
    double lastGainDb_ = 0, lastLoudness_ = 0; // of the pass before the last
    double quietGainDb_ = -HUGE_VAL, loudGainDb_ = HUGE_VAL; // the loudest too quiet, the quietest too loud
    double bestGainDb_ = 0, bestMiss_ = HUGE_VAL;
    float gain_ = 1;
};

} // namespace hx

#endif
