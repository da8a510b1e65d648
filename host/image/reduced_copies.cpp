#include "image/reduced_copies.h"

#include "image/image_blocks.h"
#include "runtime/host_state.h"
#include "runtime/pixel_threads.h"

#include <algorithm>
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
    std::vector<Halving> levels; // levels[k - 1] is level k, made when pixels is set
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

#if defined(__SSE2__)
// Two pixels of a half from four of each of two rows: the rounded means of each 2 x 2, in the low
// eight bytes, the sums in 16-bit lanes.
inline __m128i halvedPair(__m128i top, __m128i bottom)
{
    const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
    const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
    const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero));
    const __m128i sums = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(left, right), _mm_unpackhi_epi64(left, right)), two);
    const __m128i means = _mm_srli_epi16(sums, 2);
    return _mm_packus_epi16(means, means);
}

inline __m128i load16(const uint8_t* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Four pixels of a half, from eight pixels at `at` of each of two rows.
inline __m128i halvedQuad(const uint8_t* a, const uint8_t* b, size_t at)
{
    return _mm_unpacklo_epi64(halvedPair(load16(a + at), load16(b + at)), halvedPair(load16(a + at + 16), load16(b + at + 16)));
}
#endif

// Byte i of a half's row: the rounded mean of the 2 x 2 bytes under it in rows a and b.
inline uint8_t halvedByte(const uint8_t* a, const uint8_t* b, size_t i)
{
    const size_t at = (i / 4) * 8 + i % 4;
    return static_cast<uint8_t>((a[at] + a[at + 4] + b[at] + b[at + 4] + 2) >> 2);
}

// A row of `bytes` of the half of rows a and b.
void halveRow(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= bytes; i += 8)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), halvedPair(load16(a + 2 * i), load16(b + 2 * i)));
#endif
    for (; i < bytes; ++i)
        out[i] = halvedByte(a, b, i);
}

// A row of `bytes` of the quarter of rows a to d: the half of the half's two rows, which are made
// here and not stored.
void quarterRow(const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d, uint8_t* out, size_t bytes)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= bytes; i += 8)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), halvedPair(halvedQuad(a, b, 4 * i), halvedQuad(c, d, 4 * i)));
#endif
    for (; i < bytes; ++i) {
        // The four bytes of the half under this one, each from its own 2 x 2.
        const size_t at = (i / 4) * 8 + i % 4;
        const int sum = halvedByte(a, b, at) + halvedByte(a, b, at + 4) + halvedByte(c, d, at) + halvedByte(c, d, at + 4);
        out[i] = static_cast<uint8_t>((sum + 2) >> 2);
    }
}

// A copy `steps` halvings (1 or 2) down from the w x h pixels `from`, in one pass. Each pixel of a
// half is the rounded mean of the 2 x 2 pixels under it, and a quarter is the half of that half,
// rounded alike. An odd last column or row is left out at each step. False without memory for it.
bool reduce(const uint8_t* from, int32_t width, int32_t height, int steps, Halving& copy)
{
    copy.width = steps == 1 ? width / 2 : width / 2 / 2;
    copy.height = steps == 1 ? height / 2 : height / 2 / 2;
    copy.pixels = hx::takeBytes(static_cast<size_t>(copy.width) * static_cast<size_t>(copy.height) * 4);
    if (!copy.pixels)
        return false;
    const size_t fromRow = static_cast<size_t>(width) * 4, toRow = static_cast<size_t>(copy.width) * 4;
    hx::forRowRanges(copy.height, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
        for (int32_t y = begin; y < end; ++y) {
            uint8_t* out = copy.pixels.get() + static_cast<size_t>(y) * toRow;
            const uint8_t* a = from + static_cast<size_t>(y << steps) * fromRow;
            if (steps == 1)
                halveRow(a, a + fromRow, out, toRow);
            else
                quarterRow(a, a + fromRow, a + 2 * fromRow, a + 3 * fromRow, out, toRow);
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
    if (static_cast<int>(copies.levels.size()) < level)
        copies.levels.resize(static_cast<size_t>(level));
    // The made copy of the highest level up to `at`, or the picture itself.
    auto nearest = [&](int at) {
        while (at > 0 && !copies.levels[static_cast<size_t>(at - 1)].pixels)
            --at;
        if (at == 0)
            return whole;
        const Halving& copy = copies.levels[static_cast<size_t>(at - 1)];
        return PictureLevel{copy.pixels.get(), copy.width, copy.height, at};
    };
    try {
        // Down from the nearest copy two halvings a pass, the copies between them not stored.
        for (PictureLevel from = nearest(level); from.level < level; from = nearest(level)) {
            if (from.width < 2 || from.height < 2)
                break;
            const int steps = level - from.level >= 2 && from.width >= 4 && from.height >= 4 ? 2 : 1;
            Halving copy;
            if (!reduce(from.pixels, from.width, from.height, steps, copy))
                break;
            countCall("reducePicture");
            copies.levels[static_cast<size_t>(from.level + steps - 1)] = std::move(copy);
        }
    } catch (const std::bad_alloc&) {
    }
    // Without memory for a copy, the largest one made (or the picture itself) serves.
    return nearest(level);
}

void freeReducedCopies(const OpImage* picture)
{
    std::lock_guard<std::mutex> hold(copiesLock);
    allCopies().erase(picture);
}

} // namespace hx
