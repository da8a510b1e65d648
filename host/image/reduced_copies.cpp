#include "image/reduced_copies.h"

#include "image/image_blocks.h"
#include "runtime/host_state.h"
#include "runtime/pixel_threads.h"

#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct Halving {
    hx::PooledBytes pixels; // from the host's kept blocks, so that the next picture's copies reuse them
    int32_t width = 0, height = 0;
};

// A picture's copies, with what tells whether the picture still holds what they were made from.
struct Copies {
    uint64_t fingerprint = 0;
    std::vector<Halving> levels; // levels[0] is level 1
};

std::mutex copiesLock;

std::unordered_map<const OpImage*, Copies>& allCopies()
{
    static std::unordered_map<const OpImage*, Copies> copies;
    return copies;
}

// A hash of 256 pixels spread over the picture, with its size: a picture redrawn since its copies
// were made is seen as changed, and they are made again.
uint64_t fingerprintOf(const OpImage& picture)
{
    uint64_t hash = 1469598103934665603ull ^ (static_cast<uint64_t>(picture.width) << 16 | static_cast<uint16_t>(picture.height));
    const auto* pixels = reinterpret_cast<const uint32_t*>(picture.planes[0]);
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j) {
            const size_t y = static_cast<size_t>((2 * i + 1) * picture.height / 32);
            const size_t x = static_cast<size_t>((2 * j + 1) * picture.width / 32 + i);
            hash = (hash ^ pixels[y * static_cast<size_t>(picture.width) + std::min<size_t>(x, picture.width - 1)]) * 1099511628211ull;
        }
    return hash;
}

// Fewer rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 32;

// Each pixel of the half: the rounded mean of the 2 x 2 pixels under it. An odd last column or row
// is left out. False without memory for it.
bool halve(const uint8_t* from, int32_t width, int32_t height, Halving& half)
{
    half.width = width / 2;
    half.height = height / 2;
    half.pixels = hx::takeBytes(static_cast<size_t>(half.width) * static_cast<size_t>(half.height) * 4);
    if (!half.pixels)
        return false;
    const size_t fromRow = static_cast<size_t>(width) * 4, toRow = static_cast<size_t>(half.width) * 4;
    hx::forRowRanges(half.height, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y) {
            const uint8_t* a = from + 2 * static_cast<size_t>(y) * fromRow;
            const uint8_t* b = a + fromRow;
            uint8_t* out = half.pixels.get() + static_cast<size_t>(y) * toRow;
            size_t i = 0;
#if defined(__SSE2__)
            // Two pixels of the half from four of each row, the sums in 16-bit lanes.
            const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
            for (; i + 8 <= toRow; i += 8) {
                const __m128i top = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 2 * i));
                const __m128i bottom = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 2 * i));
                const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
                const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero));
                const __m128i sums = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(left, right), _mm_unpackhi_epi64(left, right)), two);
                const __m128i means = _mm_srli_epi16(sums, 2);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(means, means));
            }
#endif
            for (; i < toRow; ++i) {
                const size_t at = (i / 4) * 8 + i % 4;
                out[i] = static_cast<uint8_t>((a[at] + a[at + 4] + b[at] + b[at + 4] + 2) >> 2);
            }
        }
    });
    return true;
}

} // namespace

namespace hx {

int levelForWindow(double w, double h, int32_t targetWidth, int32_t targetHeight)
{
    int level = 0;
    while (w / 2 >= targetWidth && h / 2 >= targetHeight && level < 12) {
        w /= 2;
        h /= 2;
        ++level;
    }
    return level;
}

PictureLevel reducedCopy(const OpImage* picture, int level)
{
    PictureLevel whole{picture->planes[0], picture->width, picture->height, 0};
    if (level <= 0)
        return whole;
    std::lock_guard<std::mutex> hold(copiesLock);
    Copies& copies = allCopies()[picture];
    const uint64_t fingerprint = fingerprintOf(*picture);
    if (copies.fingerprint != fingerprint)
        copies.levels.clear();
    copies.fingerprint = fingerprint;
    try {
        while (static_cast<int>(copies.levels.size()) < level) {
            const PictureLevel from = copies.levels.empty()
                                          ? whole
                                          : PictureLevel{copies.levels.back().pixels.get(), copies.levels.back().width,
                                                         copies.levels.back().height, 0};
            if (from.width < 2 || from.height < 2)
                break;
            Halving half;
            if (!halve(from.pixels, from.width, from.height, half))
                break;
            countCall("reducePicture");
            copies.levels.push_back(std::move(half));
        }
    } catch (const std::bad_alloc&) {
    }
    // Without memory for a copy, the largest one made (or the picture itself) serves.
    const int have = std::min<int>(level, static_cast<int>(copies.levels.size()));
    if (have == 0)
        return whole;
    const Halving& half = copies.levels[static_cast<size_t>(have - 1)];
    return {half.pixels.get(), half.width, half.height, have};
}

void freeReducedCopies(const OpImage* picture)
{
    std::lock_guard<std::mutex> hold(copiesLock);
    allCopies().erase(picture);
}

} // namespace hx
