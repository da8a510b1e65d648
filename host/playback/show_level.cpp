#include "playback/show_level.h"

#include "hxhost/audio.h"

#include <algorithm>
#include <cmath>

namespace {

using hxhost::kMixChannels;

// The limiter's curve has a point every millisecond.
constexpr size_t kBlock = hxhost::kMixRate / 1000;
constexpr double kAttackBlocks = 5;    // it turns down over 5 ms ahead of a peak
constexpr double kReleaseBlocks = 150; // and comes back with a 150 ms time constant
// Below the meter's absolute gate a mix is silence, and silence stays silence.
constexpr double kSilence = -70.0;
// Close enough to the target; and how often the gain is corrected at most.
constexpr double kTolerance = 0.1;
constexpr int kMaxPasses = 5;

float fromDb(double db)
{
    return static_cast<float>(std::pow(10.0, db / 20.0));
}

ebur128_state* newMeter(bool truePeak)
{
    return ebur128_init(kMixChannels, hxhost::kMixRate,
                        EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM | (truePeak ? EBUR128_MODE_TRUE_PEAK : 0));
}

} // namespace

namespace hx {

ShowLevel::ShowLevel(std::optional<double> targetLufs) : target_(targetLufs), meter_(newMeter(true)) {}

ShowLevel::~ShowLevel()
{
    if (meter_)
        ebur128_destroy(&meter_);
}

bool ShowLevel::addBlock()
{
    if (ebur128_add_frames_float(meter_, pending_.data(), pending_.size() / kMixChannels) != EBUR128_SUCCESS)
        return false;
    double peak = 0;
    for (unsigned c = 0; c < kMixChannels; ++c) {
        double side = 0;
        ebur128_prev_true_peak(meter_, c, &side);
        peak = std::max(peak, side);
    }
    blockPeaks_.push_back(static_cast<float>(peak));
    pending_.clear();
    return true;
}

bool ShowLevel::measure(const float* samples, size_t frames)
{
    if (!meter_)
        return false;
    if (passes_ > 0)
        return ebur128_add_frames_float(meter_, samples, frames) == EBUR128_SUCCESS;
    try {
        for (size_t i = 0; i < frames; ++i) {
            pending_.insert(pending_.end(), samples + i * kMixChannels, samples + (i + 1) * kMixChannels);
            if (pending_.size() == kBlock * kMixChannels && !addBlock())
                return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ShowLevel::settle(bool& again, std::string* error)
{
    again = false;
    double loudness = -HUGE_VAL;
    if (!meter_ || (!pending_.empty() && !addBlock()) || ebur128_loudness_global(meter_, &loudness) != EBUR128_SUCCESS) {
        if (error)
            *error = "the show's loudness cannot be measured";
        return false;
    }
    ebur128_destroy(&meter_);
    if (passes_++ == 0) {
        measured_ = loudness;
        gainDb_ = target_ && measured_ > kSilence ? std::min(*target_ - measured_, kMaxGainDb) : 0.0;
        shape();
        again = target_ && measured_ > kSilence && std::any_of(limits_.begin(), limits_.end(), [](float l) { return l < 1.0f; });
    } else {
        again = correct(loudness);
    }
    if (again && !(meter_ = newMeter(false))) {
        if (error)
            *error = "the show's loudness cannot be measured";
        return false;
    }
    return true;
}

// The limiter took some loudness away with the peaks: the gain is searched between the gains that
// came out too quiet and too loud, by the slope of the last two tries where it stays between them.
bool ShowLevel::correct(double loudness)
{
    const double miss = loudness - *target_;
    if (std::fabs(miss) < std::fabs(bestMiss_)) {
        bestMiss_ = miss;
        bestGainDb_ = gainDb_;
    }
    if (std::fabs(miss) <= kTolerance || (miss < 0 && gainDb_ >= kMaxGainDb))
        return false;
    if (passes_ > kMaxPasses) {
        gainDb_ = bestGainDb_;
        shape();
        return false;
    }
    (miss < 0 ? quietGainDb_ : loudGainDb_) = gainDb_;
    double slope = 1;
    if (passes_ > 2 && gainDb_ != lastGainDb_)
        slope = std::clamp((loudness - lastLoudness_) / (gainDb_ - lastGainDb_), 0.01, 1.0);
    double next = std::min(gainDb_ - miss / slope, kMaxGainDb);
    if (next <= quietGainDb_ || next >= loudGainDb_)
        next = (quietGainDb_ + std::min(loudGainDb_, kMaxGainDb)) / 2;
    lastGainDb_ = gainDb_;
    lastLoudness_ = loudness;
    gainDb_ = next;
    shape();
    return true;
}

// Each block's limit, widened to its neighbours (the meter's interpolation lags a few samples),
// approached over the attack and left over the release.
void ShowLevel::shape()
{
    gain_ = fromDb(gainDb_);
    const size_t blocks = blockPeaks_.size();
    const float ceiling = fromDb(kCeilingDbtp);
    std::vector<float> need(blocks, 1.0f);
    for (size_t k = 0; k < blocks; ++k) {
        const float peak = gain_ * blockPeaks_[k];
        need[k] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    std::vector<float> gain(blocks, 1.0f);
    for (size_t k = 0; k < blocks; ++k)
        gain[k] = std::min({need[k], k > 0 ? need[k - 1] : 1.0f, k + 1 < blocks ? need[k + 1] : 1.0f});
    const auto attack = static_cast<float>(1.0 / kAttackBlocks);
    for (size_t k = blocks; k-- > 1;)
        gain[k - 1] = std::min(gain[k - 1], gain[k] + attack);
    const auto release = static_cast<float>(1.0 - std::exp(-1.0 / kReleaseBlocks));
    for (size_t k = 1; k < blocks; ++k)
        gain[k] = std::min(gain[k], gain[k - 1] + (1.0f - gain[k - 1]) * release);
    limits_.assign(blocks + 1, 1.0f);
    for (size_t k = 0; k <= blocks; ++k)
        limits_[k] = std::min(k > 0 ? gain[k - 1] : 1.0f, k < blocks ? gain[k] : 1.0f);
}

void ShowLevel::apply(int64_t start, float* samples, size_t frames) const
{
    for (size_t i = 0; i < frames; ++i) {
        const auto t = static_cast<size_t>(start) + i;
        const size_t k = t / kBlock;
        float limit = 1.0f;
        if (k + 1 < limits_.size()) {
            const float along = static_cast<float>(t % kBlock) / kBlock;
            limit = limits_[k] + (limits_[k + 1] - limits_[k]) * along;
        }
        for (int c = 0; c < kMixChannels; ++c)
            samples[i * kMixChannels + c] *= gain_ * limit;
    }
}

} // namespace hx
