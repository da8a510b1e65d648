// opMakeField and opMakeFrame: interlaced fields are the even (parity 0) or odd (parity 1) rows of a
// frame. Planes at full height move row by row; the half-height chroma of format 7 is averaged where
// a field's chroma row covers two of the frame's, and the other way round.
#include "host/hxopcommon.h"

#include "image/fields.h"
#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/pixel_threads.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Fewer rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 64;

void copyRow(const hx::Plane& from, int32_t fromRow, const hx::Plane& to, int32_t toRow)
{
    std::memcpy(to.data + static_cast<size_t>(toRow) * to.rowBytes,
                from.data + static_cast<size_t>(fromRow) * from.rowBytes, to.rowBytes);
}

// Row `toRow` of `to` as the rounded mean of rows a and b of `from`.
void averageRows(const hx::Plane& from, int32_t a, const hx::Plane& fromB, int32_t b, const hx::Plane& to, int32_t toRow)
{
    const uint8_t* rowA = from.data + static_cast<size_t>(a) * from.rowBytes;
    const uint8_t* rowB = fromB.data + static_cast<size_t>(b) * fromB.rowBytes;
    uint8_t* out = to.data + static_cast<size_t>(toRow) * to.rowBytes;
    for (size_t i = 0; i < to.rowBytes; ++i)
        out[i] = static_cast<uint8_t>((rowA[i] + rowB[i] + 1) / 2);
}

bool halfHeightChroma(const OpImage* image, int plane)
{
    return image->format == OP_FORMAT_YUV420 && plane > 0;
}

// The rows of one parity of a frame as a new field; null when there is no memory for it.
OpImage* makeField(const OpImage* frame, int32_t parity)
{
    const int32_t height = (frame->height + 1 - parity) / 2;
    OpImage* field = height > 0 ? hx::newImage(frame->width, height, frame->format, false) : nullptr; // every row is written below
    if (!field)
        return nullptr;
    field->aspect = frame->aspect;
    hx::Plane from[3], to[3];
    const int planes = hx::imagePlanes(frame, from);
    hx::imagePlanes(field, to);
    for (int p = 0; p < planes; ++p)
        hx::forRowRanges(to[p].rows, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
            for (int32_t row = begin; row < end; ++row) {
                if (halfHeightChroma(frame, p))
                    averageRows(from[p], std::min(2 * row, from[p].rows - 1), from[p],
                                std::min(2 * row + 1, from[p].rows - 1), to[p], row);
                else
                    copyRow(from[p], 2 * row + parity, to[p], row);
            }
        });
    return field;
}

thread_local hx::OtherFieldCatch* catching = nullptr;

} // namespace

namespace hx {

OtherFieldCatch::OtherFieldCatch(bool paused) : previous_(catching), paused_(paused)
{
    catching = this;
}

OtherFieldCatch::~OtherFieldCatch()
{
    catching = previous_;
    freeImage(caught_);
}

OpImage* OtherFieldCatch::take()
{
    return std::exchange(caught_, nullptr);
}

} // namespace hx

extern "C" {

OpImage* opMakeField(const OpImage* frame, uint32_t, int32_t parity) HX_ENTRY
{
    if (hx::shouldFail("opMakeField") || !hx::isLiveImage(frame) || !frame->planes[0] || (parity != 0 && parity != 1))
        return nullptr;
    OpImage* field = makeField(frame, parity);
    if (field && catching && catching->wanted())
        catching->keep(makeField(frame, 1 - parity)); // without it, the other field is rendered anew
    return field;
}
HX_ENTRY_FAILS(nullptr)

OpImage* opMakeFrame(const OpImage* first, const OpImage* second, uint32_t, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("opMakeFrame") || !hx::isLiveImage(first) || !hx::isLiveImage(second) || !first->planes[0] ||
        !second->planes[0] || first->format != second->format || first->width != second->width ||
        (first->height != second->height && first->height != second->height + 1))
        return nullptr;
    OpImage* frame = hx::newImage(first->width, first->height + second->height, first->format, false); // every row is written below
    if (!frame)
        return nullptr;
    frame->aspect = first->aspect;
    hx::Plane a[3], b[3], to[3];
    const int planes = hx::imagePlanes(frame, to);
    hx::imagePlanes(first, a);
    hx::imagePlanes(second, b);
    for (int p = 0; p < planes; ++p)
        for (int32_t row = 0; row < to[p].rows; ++row) {
            if (halfHeightChroma(frame, p))
                averageRows(a[p], std::min(row / 2, a[p].rows - 1), b[p], std::min(row / 2, b[p].rows - 1), to[p], row);
            else
                copyRow(row % 2 == 0 ? a[p] : b[p], row / 2, to[p], row);
        }
    return frame;
}
HX_ENTRY_FAILS(nullptr)

} // extern "C"
