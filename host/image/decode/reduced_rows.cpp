#include "image/decode/reduced_rows.h"

#include <algorithm>

namespace hx {

int reductionFor(uint64_t width, uint64_t height, size_t maxPixels)
{
    for (int factor = 1; factor <= 8; factor *= 2)
        if (reducedSide(width, factor) * reducedSide(height, factor) <= maxPixels)
            return factor;
    return 0;
}

RowReducer::RowReducer(uint32_t width, uint32_t height, int factor, size_t channels, VideoRows& video, uint8_t* yuva)
    : width_(width), height_(height), factor_(factor), channels_(channels), video_(video), yuva_(yuva),
      outWidth_(static_cast<size_t>(reducedSide(width, factor)))
{
    if (factor_ > 1) {
        sums_.assign(outWidth_ * channels_, 0);
        row_.resize(outWidth_ * channels_);
    }
}

void RowReducer::put(const uint8_t* row)
{
    if (rowsIn_ >= height_)
        return;
    if (factor_ == 1) {
        video_.put(row, yuva_ + static_cast<size_t>(rowsIn_++) * outWidth_ * 4, outWidth_);
        return;
    }
    for (size_t x = 0; x < width_; ++x) {
        uint32_t* sum = sums_.data() + x / static_cast<size_t>(factor_) * channels_;
        for (size_t c = 0; c < channels_; ++c)
            sum[c] += row[x * channels_ + c];
    }
    ++rowsIn_;
    if (++rowsInBlock_ == static_cast<uint32_t>(factor_) || rowsIn_ == height_)
        finishRow();
}

void RowReducer::finishRow()
{
    const size_t outRow = (rowsIn_ - 1) / static_cast<uint32_t>(factor_);
    for (size_t x = 0; x < outWidth_; ++x) {
        const size_t columns = std::min<size_t>(static_cast<size_t>(factor_), width_ - x * static_cast<size_t>(factor_));
        const uint32_t count = static_cast<uint32_t>(columns) * rowsInBlock_;
        for (size_t c = 0; c < channels_; ++c) {
            const size_t at = x * channels_ + c;
            row_[at] = static_cast<uint8_t>((sums_[at] + count / 2) / count);
        }
    }
    video_.put(row_.data(), yuva_ + outRow * outWidth_ * 4, outWidth_);
    std::fill(sums_.begin(), sums_.end(), 0u);
    rowsInBlock_ = 0;
}

} // namespace hx
