// opConvertImage: every format goes through rows of full-resolution Y, U and V, two rows at a time
// so that 4:2:0 chroma can be averaged and replicated. Subsampled chroma is replicated when
// widened and averaged when narrowed, so a widening followed by a narrowing gives back the input.
#include "host/hxopcommon.h"

#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <algorithm>
#include <vector>

namespace {

// Two rows of full-resolution samples.
struct FullRows {
    explicit FullRows(int32_t width)
    {
        for (std::vector<uint8_t>* channel : {&y, &u, &v})
            channel->resize(2 * static_cast<size_t>(width));
    }
    std::vector<uint8_t> y, u, v; // row r starts at r * width
};

uint8_t average(unsigned sum, unsigned count)
{
    return static_cast<uint8_t>((sum + count / 2) / count);
}

// Chroma bytes `step` apart holding U, V alternately per pixel pair; a lone last pixel holds U only
// and takes V from the pair before it.
void readPairedChroma(const uint8_t* chroma, size_t step, int32_t width, uint8_t* u, uint8_t* v)
{
    for (int32_t x = 0; x < width; ++x) {
        const int32_t pair = x & ~1;
        u[x] = chroma[static_cast<size_t>(pair) * step];
        if (pair + 1 < width)
            v[x] = chroma[static_cast<size_t>(pair + 1) * step];
        else
            v[x] = pair >= 2 ? chroma[static_cast<size_t>(pair - 1) * step] : 128;
    }
}

void writePairedChroma(uint8_t* chroma, size_t step, int32_t width, const uint8_t* u, const uint8_t* v)
{
    int32_t x = 0;
    for (; x + 1 < width; x += 2) {
        chroma[static_cast<size_t>(x) * step] = average(u[x] + u[x + 1], 2);
        chroma[static_cast<size_t>(x + 1) * step] = average(v[x] + v[x + 1], 2);
    }
    if (x < width)
        chroma[static_cast<size_t>(x) * step] = u[x];
}

// Reads `count` (1 or 2) rows from row `top` of the image into `rows`.
void readRows(const OpImage* image, int32_t top, int32_t count, FullRows& rows)
{
    const int32_t w = image->width;
    const size_t width = static_cast<size_t>(w);
    for (int32_t r = 0; r < count; ++r) {
        const size_t row = static_cast<size_t>(top + r);
        uint8_t* y = rows.y.data() + r * width;
        uint8_t* u = rows.u.data() + r * width;
        uint8_t* v = rows.v.data() + r * width;
        switch (image->format) {
        case OP_FORMAT_YUVA: {
            const uint8_t* p = image->planes[0] + row * width * 4;
            for (int32_t x = 0; x < w; ++x, p += 4) {
                u[x] = p[1];
                v[x] = p[2];
                y[x] = p[3];
            }
            break;
        }
        case OP_FORMAT_YC_PACKED: {
            const uint8_t* p = image->planes[0] + row * width * 2;
            for (int32_t x = 0; x < w; ++x)
                y[x] = p[2 * x + 1];
            readPairedChroma(p, 2, w, u, v);
            break;
        }
        case OP_FORMAT_YC_PLANAR:
            std::copy_n(image->planes[0] + row * width, width, y);
            readPairedChroma(image->planes[1] + row * width, 1, w, u, v);
            break;
        case OP_FORMAT_YUV420: {
            const size_t cw = static_cast<size_t>(hx::halfUp(w));
            std::copy_n(image->planes[0] + row * width, width, y);
            const uint8_t* cu = image->planes[1] + (row / 2) * cw;
            const uint8_t* cv = image->planes[2] + (row / 2) * cw;
            for (int32_t x = 0; x < w; ++x) {
                u[x] = cu[x / 2];
                v[x] = cv[x / 2];
            }
            break;
        }
        }
    }
}

void writeRows(OpImage* image, int32_t top, int32_t count, const FullRows& rows)
{
    const int32_t w = image->width;
    const size_t width = static_cast<size_t>(w);
    for (int32_t r = 0; r < count; ++r) {
        const size_t row = static_cast<size_t>(top + r);
        const uint8_t* y = rows.y.data() + r * width;
        const uint8_t* u = rows.u.data() + r * width;
        const uint8_t* v = rows.v.data() + r * width;
        switch (image->format) {
        case OP_FORMAT_YUVA: {
            uint8_t* p = image->planes[0] + row * width * 4;
            for (int32_t x = 0; x < w; ++x, p += 4) {
                p[0] = 0xFF;
                p[1] = u[x];
                p[2] = v[x];
                p[3] = y[x];
            }
            break;
        }
        case OP_FORMAT_YC_PACKED: {
            uint8_t* p = image->planes[0] + row * width * 2;
            for (int32_t x = 0; x < w; ++x)
                p[2 * x + 1] = y[x];
            writePairedChroma(p, 2, w, u, v);
            break;
        }
        case OP_FORMAT_YC_PLANAR:
            std::copy_n(y, width, image->planes[0] + row * width);
            writePairedChroma(image->planes[1] + row * width, 1, w, u, v);
            break;
        case OP_FORMAT_YUV420:
            std::copy_n(y, width, image->planes[0] + row * width);
            break;
        }
    }
    if (image->format != OP_FORMAT_YUV420)
        return;
    // One chroma row of 4:2:0 averages the 2 x 2 block (or what of it the image has).
    const size_t cw = static_cast<size_t>(hx::halfUp(w));
    uint8_t* cu = image->planes[1] + static_cast<size_t>(top / 2) * cw;
    uint8_t* cv = image->planes[2] + static_cast<size_t>(top / 2) * cw;
    for (int32_t cx = 0; cx < hx::halfUp(w); ++cx) {
        unsigned sumU = 0, sumV = 0, samples = 0;
        for (int32_t r = 0; r < count; ++r)
            for (int32_t x = 2 * cx; x < 2 * cx + 2 && x < w; ++x, ++samples) {
                sumU += rows.u[r * width + static_cast<size_t>(x)];
                sumV += rows.v[r * width + static_cast<size_t>(x)];
            }
        cu[cx] = average(sumU, samples);
        cv[cx] = average(sumV, samples);
    }
}

// The two conversions of every render, written out: four-byte pixels to 4:2:0 and back, with the
// same averaging and repetition as the row-by-row path.
void yuvaTo420(const OpImage* from, OpImage* to)
{
    const int32_t w = from->width, h = from->height, cw = hx::halfUp(w);
    const size_t width = static_cast<size_t>(w);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* p = from->planes[0] + static_cast<size_t>(y) * width * 4;
        uint8_t* luma = to->planes[0] + static_cast<size_t>(y) * width;
        for (size_t x = 0; x < width; ++x)
            luma[x] = p[4 * x + 3];
    }
    for (int32_t cy = 0; cy < hx::halfUp(h); ++cy) {
        const uint8_t* top = from->planes[0] + static_cast<size_t>(2 * cy) * width * 4;
        const uint8_t* bottom = 2 * cy + 1 < h ? top + width * 4 : nullptr;
        uint8_t* cu = to->planes[1] + static_cast<size_t>(cy) * static_cast<size_t>(cw);
        uint8_t* cv = to->planes[2] + static_cast<size_t>(cy) * static_cast<size_t>(cw);
        // Whole 2 x 2 blocks average by a shift; a last column or row of odd size by division.
        const int32_t whole = bottom ? w / 2 : 0;
        for (int32_t cx = 0; cx < whole; ++cx) {
            const uint8_t* a = top + 8 * static_cast<size_t>(cx);
            const uint8_t* b = bottom + 8 * static_cast<size_t>(cx);
            cu[cx] = static_cast<uint8_t>((a[1] + a[5] + b[1] + b[5] + 2) >> 2);
            cv[cx] = static_cast<uint8_t>((a[2] + a[6] + b[2] + b[6] + 2) >> 2);
        }
        for (int32_t cx = whole; cx < cw; ++cx) {
            const size_t left = static_cast<size_t>(2 * cx) * 4;
            const bool right = 2 * cx + 1 < w;
            unsigned u = top[left + 1], v = top[left + 2], samples = 1;
            if (right) {
                u += top[left + 5];
                v += top[left + 6];
                ++samples;
            }
            if (bottom) {
                u += bottom[left + 1] + (right ? bottom[left + 5] : 0);
                v += bottom[left + 2] + (right ? bottom[left + 6] : 0);
                samples *= 2;
            }
            cu[cx] = average(u, samples);
            cv[cx] = average(v, samples);
        }
    }
}

void yuv420ToYuva(const OpImage* from, OpImage* to)
{
    const int32_t w = from->width, h = from->height;
    const size_t width = static_cast<size_t>(w), cw = static_cast<size_t>(hx::halfUp(w));
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* luma = from->planes[0] + static_cast<size_t>(y) * width;
        const uint8_t* cu = from->planes[1] + static_cast<size_t>(y / 2) * cw;
        const uint8_t* cv = from->planes[2] + static_cast<size_t>(y / 2) * cw;
        uint8_t* p = to->planes[0] + static_cast<size_t>(y) * width * 4;
        for (size_t x = 0; x < width; ++x, p += 4) {
            p[0] = 0;
            p[1] = cu[x / 2];
            p[2] = cv[x / 2];
            p[3] = luma[x];
        }
    }
}

bool knownFormat(uint32_t format)
{
    return format == OP_FORMAT_YC_PLANAR || format == OP_FORMAT_YUVA || format == OP_FORMAT_YC_PACKED ||
           format == OP_FORMAT_YUV420;
}

} // namespace

extern "C" {

OpImage* opConvertImage(OpImage* image, uint32_t format, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("opConvertImage") || !hx::isLiveImage(image) || !image->planes[0] || !knownFormat(format) ||
        !knownFormat(image->format) || image->format == format)
        return image;
    const bool direct = (image->format == OP_FORMAT_YUVA && format == OP_FORMAT_YUV420) ||
                        (image->format == OP_FORMAT_YUV420 && format == OP_FORMAT_YUVA);
    OpImage* converted = hx::newImage(image->width, image->height, format, !direct);
    if (!converted)
        return image;
    converted->aspect = image->aspect;
    if (image->format == OP_FORMAT_YUVA && format == OP_FORMAT_YUV420) {
        yuvaTo420(image, converted);
    } else if (direct) {
        yuv420ToYuva(image, converted);
    } else {
        FullRows rows(image->width);
        for (int32_t top = 0; top < image->height; top += 2) {
            const int32_t count = std::min<int32_t>(2, image->height - top);
            readRows(image, top, count, rows);
            writeRows(converted, top, count, rows);
        }
    }
    hx::freeImage(image);
    return converted;
}
HX_ENTRY_FAILS(nullptr)

} // extern "C"
