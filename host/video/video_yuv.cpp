#include "video/video_yuv.h"

#include "image/vector_width.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr int kFractionBits = 10;
constexpr int kFieldBits = 21;
constexpr uint64_t kFieldMask = (uint64_t(1) << kFieldBits) - 1;
// Each share is biased to stay positive: |share| < 2^18, so three biased shares stay within a field.
constexpr int64_t kShareBias = int64_t(1) << 18;
constexpr int32_t kOutputOffset[3] = {16, 128, 128};

// A field's sum of three biased shares to the output byte: remove the bias, round, offset, clamp.
struct Finish {
    uint8_t byte[3][(kFieldMask >> kFractionBits) + 1];
};

const Finish& finish()
{
    static const Finish table = [] {
        Finish f{};
        for (int row = 0; row < 3; ++row)
            for (int64_t i = 0; i <= static_cast<int64_t>(kFieldMask >> kFractionBits); ++i) {
                // Index i holds sums in [i, i + 1) << kFractionBits; the shares carry half a unit of rounding.
                const int64_t value = i - ((3 * kShareBias) >> kFractionBits) + kOutputOffset[row];
                f.byte[row][i] = static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
            }
        return f;
    }();
    return table;
}

#if defined(__x86_64__)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized" // GCC 12's 512-bit intrinsics start from an undefined vector
#endif
// The 256 entries of a table looked up 64 bytes at a time: two 128-byte permutes, the index's top
// bit choosing between them.
struct WideTable {
    __m512i quarter[4];
};

HX_VBMI WideTable wideTable(const uint8_t* table)
{
    WideTable wide;
    for (int q = 0; q < 4; ++q)
        wide.quarter[q] = _mm512_loadu_si512(table + 64 * q);
    return wide;
}

HX_VBMI inline __m512i lookUp(const WideTable& t, __m512i index)
{
    const __m512i low = _mm512_permutex2var_epi8(t.quarter[0], index, t.quarter[1]);
    const __m512i high = _mm512_permutex2var_epi8(t.quarter[2], index, t.quarter[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

// Each input alone through its own table, sixteen pixels at a time: the three bytes of each pixel
// are spread to its U, V and Y bytes, every byte is looked up in all three tables, and each byte
// keeps the table of its place. The last pixels go through masks.
HX_VBMI void applyDirectVbmi(const uint8_t (&direct)[3][256], const uint8_t* in, uint8_t* yuva, size_t pixels)
{
    const WideTable y = wideTable(direct[0]), u = wideTable(direct[1]), v = wideTable(direct[2]);
    alignas(64) uint8_t spread[64];
    for (int i = 0; i < 16; ++i) {
        spread[4 * i] = 0;                                   // the key, set below
        spread[4 * i + 1] = static_cast<uint8_t>(3 * i + 1); // U from Cb
        spread[4 * i + 2] = static_cast<uint8_t>(3 * i + 2); // V from Cr
        spread[4 * i + 3] = static_cast<uint8_t>(3 * i);     // Y
    }
    const __m512i order = _mm512_load_si512(spread);
    const __mmask64 keyBytes = 0x1111111111111111ull, uBytes = keyBytes << 1, yBytes = keyBytes << 3;
    const __m512i key = _mm512_set1_epi8(static_cast<char>(0xFF));
    for (size_t done = 0; done < pixels; done += 16, in += 48, yuva += 64) {
        const size_t count = std::min<size_t>(pixels - done, 16);
        const __mmask64 inMask = (__mmask64{1} << (3 * count)) - 1;
        const __mmask64 outMask = count == 16 ? ~__mmask64{0} : (__mmask64{1} << (4 * count)) - 1;
        const __m512i bytes = _mm512_permutexvar_epi8(order, _mm512_maskz_loadu_epi8(inMask, in));
        __m512i out = _mm512_mask_blend_epi8(uBytes, lookUp(v, bytes), lookUp(u, bytes));
        out = _mm512_mask_blend_epi8(yBytes, out, lookUp(y, bytes));
        out = _mm512_mask_blend_epi8(keyBytes, out, key);
        _mm512_mask_storeu_epi8(yuva, outMask, out);
    }
}
#endif

} // namespace

namespace hx {

VideoYuv::Tables VideoYuv::tablesOf(const double matrix[3][3], const int inputOffset[3])
{
    Tables tables{};
    tables.diagonal = true;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            tables.diagonal = tables.diagonal && (row == column || std::abs(matrix[row][column]) < 1e-4);
    for (int input = 0; input < 3; ++input) {
        for (int v = 0; v < 256; ++v) {
            const double value = kOutputOffset[input] + matrix[input][input] * (v + inputOffset[input]);
            tables.direct[input][v] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
        }
    }
    for (int input = 0; input < 3; ++input)
        for (int v = 0; v < 256; ++v) {
            uint64_t word = 0;
            for (int row = 0; row < 3; ++row) {
                const double rounding = input == 0 ? 0.5 : 0; // added once per output
                const int64_t share = std::llround((matrix[row][input] * (v + inputOffset[input]) + rounding) *
                                                   (1 << kFractionBits)) + kShareBias;
                word |= (static_cast<uint64_t>(share) & kFieldMask) << (kFieldBits * row);
            }
            tables.share[input][v] = word;
        }
    return tables;
}

VideoYuv::VideoYuv(bool highDefinition)
{
    const double kr = highDefinition ? 0.2126 : 0.299, kb = highDefinition ? 0.0722 : 0.114, kg = 1 - kr - kb;
    const double luma = 219.0 / 255, chroma = 224.0 / 255;
    const double fromRgb[3][3] = {
        {luma * kr, luma * kg, luma * kb},
        {-chroma * kr / (2 * (1 - kb)), -chroma * kg / (2 * (1 - kb)), chroma / 2},
        {chroma / 2, -chroma * kg / (2 * (1 - kr)), -chroma * kb / (2 * (1 - kr))},
    };
    // JPEG's Y Cb Cr back to R G B (full-range BT.601), then on as from R G B.
    const double toRgb[3][3] = {{1, 0, 1.402}, {1, -0.344136, -0.714136}, {1, 1.772, 0}};
    double fromYcc[3][3] = {};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k)
                fromYcc[row][column] += fromRgb[row][k] * toRgb[k][column];
    const int noOffsets[3] = {0, 0, 0}, yccOffsets[3] = {0, -128, -128};
    rgb_ = tablesOf(fromRgb, noOffsets);
    ycc_ = tablesOf(fromYcc, yccOffsets);
    for (int g = 0; g < 256; ++g)
        grayLuma_[g] = static_cast<uint8_t>(std::lround(16 + g * luma));
}

void VideoYuv::apply(const Tables& tables, const uint8_t* in, uint8_t* yuva, size_t pixels)
{
    if (tables.diagonal) {
#if defined(__x86_64__)
        if (haveBytePermutes())
            return applyDirectVbmi(tables.direct, in, yuva, pixels);
#endif
        for (size_t i = 0; i < pixels; ++i, in += 3, yuva += 4) {
            const uint32_t word = 0xFFu | uint32_t(tables.direct[1][in[1]]) << 8 | uint32_t(tables.direct[2][in[2]]) << 16 |
                                  uint32_t(tables.direct[0][in[0]]) << 24;
            std::memcpy(yuva, &word, 4); // one store; format 1 is the little-endian colour word
        }
        return;
    }
    const Finish& f = finish();
    for (size_t i = 0; i < pixels; ++i, in += 3, yuva += 4) {
        const uint64_t sum = tables.share[0][in[0]] + tables.share[1][in[1]] + tables.share[2][in[2]];
        yuva[0] = 0xFF;
        yuva[1] = f.byte[1][((sum >> kFieldBits) & kFieldMask) >> kFractionBits];
        yuva[2] = f.byte[2][((sum >> (2 * kFieldBits)) & kFieldMask) >> kFractionBits];
        yuva[3] = f.byte[0][(sum & kFieldMask) >> kFractionBits];
    }
}

void VideoYuv::fromRgb(const uint8_t* rgb, uint8_t* yuva, size_t pixels) const
{
    apply(rgb_, rgb, yuva, pixels);
}

void VideoYuv::fromJpegYcc(const uint8_t* ycc, uint8_t* yuva, size_t pixels) const
{
    apply(ycc_, ycc, yuva, pixels);
}

void VideoYuv::fromGray(const uint8_t* gray, uint8_t* yuva, size_t pixels) const
{
    for (size_t i = 0; i < pixels; ++i, yuva += 4) {
        yuva[0] = 0xFF;
        yuva[1] = 128;
        yuva[2] = 128;
        yuva[3] = grayLuma_[gray[i]];
    }
}

} // namespace hx
