// The renderer of the host's transitions: every kind blends, per byte of each plane row, the
// outgoing picture, the incoming one and a colour (black, white, a border) with weights in 1/256;
// the push samples both pictures at a sub-pixel offset instead.
#include "hxhost/transitions.h"

#include "operators/operators.h"
#include "operators/transition_layout.h"
#include "operators/transition_shapes.h"
#include "runtime/pixel_threads.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

using hx::PlaneLayout;
using hx::SampleSet;
using hxhost::TransitionKind;
using hxhost::TransitionType;

constexpr int kWeightOne = 256;
// Fewer rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 32;

// The settings a render reads, each clamped to its range.
class Settings {
public:
    Settings(const TransitionType& type, const uint8_t* prefs, size_t size) : type_(type), prefs_(prefs), size_(size) {}
    int32_t operator()(const char* key) const
    {
        const hxhost::TransitionSetting* s = type_.setting(key);
        return s ? hxhost::settingValue(*s, prefs_, size_) : 0;
    }

private:
    const TransitionType& type_;
    const uint8_t* prefs_;
    size_t size_;
};

// The pictures of one render.
struct Pictures {
    const OpImage* from;
    const OpImage* to;
    OpImage* out;
    std::vector<PlaneLayout> planes;

    const uint8_t* fromRow(const PlaneLayout& p, int32_t r) const { return row(from, p, r); }
    const uint8_t* toRow(const PlaneLayout& p, int32_t r) const { return row(to, p, r); }
    uint8_t* outRow(const PlaneLayout& p, int32_t r) const { return row(out, p, r); }

private:
    static uint8_t* row(const OpImage* image, const PlaneLayout& p, int32_t r)
    {
        return image->planes[p.index] + static_cast<size_t>(r) * p.rowBytes;
    }
};

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

uint16_t weight(float share)
{
    return static_cast<uint16_t>(std::clamp(share, 0.0f, 1.0f) * kWeightOne + 0.5f);
}

// out = from * (1 - outer) + to * inner + colour * (outer - inner), weights in 1/256, inner <= outer.
void blendRow(const uint8_t* from, const uint8_t* to, const uint8_t* colour, const uint16_t* inner,
              const uint16_t* outer, uint8_t* out, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const uint32_t wi = inner[i], wo = outer[i];
        out[i] = static_cast<uint8_t>((from[i] * (kWeightOne - wo) + to[i] * wi + colour[i] * (wo - wi) + 128) >> 8);
    }
}

// out = a * (1 - w) + b * w, one weight for the row.
void mixRow(const uint8_t* a, const uint8_t* b, uint32_t w, uint8_t* out, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>((a[i] * (kWeightOne - w) + b[i] * w + 128) >> 8);
}

void copyPicture(const Pictures& p, const OpImage* source)
{
    for (const PlaneLayout& plane : p.planes)
        std::memcpy(p.out->planes[plane.index], source->planes[plane.index], plane.rowBytes * static_cast<size_t>(plane.rows));
}

// Dissolve and fade: one pair of weights for every byte. A dissolve (inner = outer) leaves the
// colour out, a fade (inner 0 or outer 1) one of the pictures, so each mixes two rows, not three.
void blendEverywhere(const Pictures& p, float inner, float outer, bool white)
{
    const uint16_t in = weight(inner), out = weight(outer);
    const bool threeRows = in != out && in != 0 && out != kWeightOne;
    for (const PlaneLayout& plane : p.planes) {
        const std::vector<uint8_t> colour = hx::colourRow(plane, white);
        const std::vector<uint16_t> wi(threeRows ? plane.rowBytes : 0, in), wo(wi.size(), out);
        hx::forRowRanges(plane.rows, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
            for (int32_t r = begin; r < end; ++r) {
                const uint8_t* from = p.fromRow(plane, r);
                const uint8_t* to = p.toRow(plane, r);
                uint8_t* row = p.outRow(plane, r);
                if (in == out)
                    mixRow(from, to, in, row, plane.rowBytes);
                else if (in == 0)
                    mixRow(from, colour.data(), out, row, plane.rowBytes);
                else if (out == kWeightOne)
                    mixRow(colour.data(), to, in, row, plane.rowBytes);
                else
                    blendRow(from, to, colour.data(), wi.data(), wo.data(), row, plane.rowBytes);
            }
        });
    }
}

void renderFade(const Pictures& p, const Settings& settings, float position)
{
    // Out to the colour, held there for the hold's share of the length, then in from it.
    const float hold = static_cast<float>(settings("hold")) / 100.0f;
    const float half = (1.0f - hold) / 2.0f;
    float inner = 0, outer = 1;
    if (position < half)
        outer = position / half;
    else if (position > 1.0f - half)
        inner = (position - (1.0f - half)) / half;
    blendEverywhere(p, inner, outer, settings("colour") == 1);
}

// blendRow with one pair of weights for each sample of C contiguous bytes.
template <int C>
void blendSamples(const uint8_t* from, const uint8_t* to, const uint8_t* colour, const uint16_t* inner,
                  const uint16_t* outer, uint8_t* out, int32_t count)
{
    for (int32_t s = 0; s < count; ++s) {
        const uint32_t wi = inner[s], wo = outer[s];
        for (int c = 0; c < C; ++c) {
            const size_t i = static_cast<size_t>(s) * C + c;
            out[i] = static_cast<uint8_t>((from[i] * (kWeightOne - wo) + to[i] * wi + colour[i] * (wo - wi) + 128) >> 8);
        }
    }
}

bool packed(const PlaneLayout& plane)
{
    return std::all_of(plane.sets.begin(), plane.sets.end(), [](const SampleSet& set) {
        return set.stride == set.components && (set.components == 1 || set.components == 4);
    });
}

void renderShape(const Pictures& p, const hx::Shape& shape, double position, bool whiteBorder)
{
    const hx::ShapeRows rows(shape, position);
    for (const PlaneLayout& plane : p.planes) {
        const std::vector<uint8_t> colour = hx::colourRow(plane, whiteBorder);
        int32_t most = 0;
        for (const SampleSet& set : plane.sets)
            most = std::max(most, set.count);
        std::vector<float> inner(static_cast<size_t>(most)), outer(static_cast<size_t>(most));
        std::vector<uint16_t> si(static_cast<size_t>(most)), so(static_cast<size_t>(most));
        // Interleaved planes (luma and chroma bytes alternating) blend a row of per-byte weights.
        const bool direct = packed(plane);
        std::vector<uint16_t> wi(direct ? 0 : plane.rowBytes, 0), wo(direct ? 0 : plane.rowBytes, 0);
        for (int32_t r = 0; r < plane.rows; ++r) {
            const uint8_t* from = p.fromRow(plane, r);
            const uint8_t* to = p.toRow(plane, r);
            uint8_t* out = p.outRow(plane, r);
            for (const SampleSet& set : plane.sets) {
                rows.row(set, (static_cast<float>(r) + 0.5f) * plane.yScale, inner.data(), outer.data());
                for (int32_t s = 0; s < set.count; ++s) {
                    si[s] = weight(inner[s]);
                    so[s] = std::max(si[s], weight(outer[s]));
                }
                const size_t at = static_cast<size_t>(set.offset);
                if (direct && set.components == 4)
                    blendSamples<4>(from + at, to + at, colour.data() + at, si.data(), so.data(), out + at, set.count);
                else if (direct)
                    blendSamples<1>(from + at, to + at, colour.data() + at, si.data(), so.data(), out + at, set.count);
                else
                    for (int32_t s = 0; s < set.count; ++s)
                        for (int32_t c = 0; c < set.components; ++c) {
                            wi[at + static_cast<size_t>(s * set.stride + c)] = si[s];
                            wo[at + static_cast<size_t>(s * set.stride + c)] = so[s];
                        }
            }
            if (!direct)
                blendRow(from, to, colour.data(), wi.data(), wo.data(), out, plane.rowBytes);
        }
    }
}

// A sub-pixel offset into a strip of two pictures: whole samples and the 1/256 towards the next.
struct Offset {
    int32_t whole = 0;
    uint32_t fraction = 0;
};

Offset offsetOf(double samples)
{
    Offset o;
    o.whole = static_cast<int32_t>(std::floor(samples));
    o.fraction = static_cast<uint32_t>(std::lround((samples - o.whole) * kWeightOne));
    if (o.fraction == kWeightOne) {
        ++o.whole;
        o.fraction = 0;
    }
    return o;
}

// The pictures side by side (first, then second) and read at an offset: the seam between them is
// blended like any two neighbouring samples, which keeps the moving edge anti-aliased.
void pushAcross(const Pictures& p, double position, bool toTheLeft)
{
    for (const PlaneLayout& plane : p.planes) {
        std::vector<uint8_t> strip(2 * plane.rowBytes + 16, 0);
        for (int32_t r = 0; r < plane.rows; ++r) {
            const uint8_t* first = toTheLeft ? p.fromRow(plane, r) : p.toRow(plane, r);
            const uint8_t* second = toTheLeft ? p.toRow(plane, r) : p.fromRow(plane, r);
            std::memcpy(strip.data(), first, plane.rowBytes);
            std::memcpy(strip.data() + plane.rowBytes, second, plane.rowBytes);
            uint8_t* out = p.outRow(plane, r);
            for (const SampleSet& set : plane.sets) {
                const double shift = position * set.count;
                const Offset o = offsetOf(toTheLeft ? shift : set.count - shift);
                // Samples of this set lie a stride apart, so a sample further is `stride` bytes on.
                const size_t step = static_cast<size_t>(set.stride);
                const uint8_t* a = strip.data() + set.offset + static_cast<size_t>(o.whole) * step;
                if (set.stride == set.components) {
                    mixRow(a, a + step, o.fraction, out + set.offset, static_cast<size_t>(set.count) * step);
                    continue;
                }
                for (int32_t s = 0; s < set.count; ++s)
                    for (int32_t c = 0; c < set.components; ++c) {
                        const size_t at = static_cast<size_t>(s) * step + c;
                        out[set.offset + at] = static_cast<uint8_t>(
                            (a[at] * (kWeightOne - o.fraction) + a[at + step] * o.fraction + 128) >> 8);
                    }
            }
        }
    }
}

void pushAlong(const Pictures& p, double position, bool upwards)
{
    for (const PlaneLayout& plane : p.planes) {
        const int32_t rows = plane.rows;
        const double shift = position * rows;
        const Offset o = offsetOf(upwards ? shift : rows - shift);
        // Row j of the two pictures stacked: the first above the second.
        auto stacked = [&](int32_t j) {
            j = std::clamp(j, 0, 2 * rows - 1);
            const bool inFirst = j < rows;
            const bool fromOutgoing = upwards == inFirst;
            return fromOutgoing ? p.fromRow(plane, inFirst ? j : j - rows) : p.toRow(plane, inFirst ? j : j - rows);
        };
        for (int32_t r = 0; r < rows; ++r)
            mixRow(stacked(r + o.whole), stacked(r + o.whole + 1), o.fraction, p.outRow(plane, r), plane.rowBytes);
    }
}

hx::Shape shapeOf(const TransitionType& type, const Settings& settings, const OpImage* picture, int parity)
{
    hx::Shape shape;
    shape.frame = {picture->width, picture->height, parity, picture->aspect ? picture->aspect / 1000.0f : 1.0f};
    shape.softness = static_cast<float>(settings("softness")) / 100.0f;
    shape.border = static_cast<float>(settings("border")) / 100.0f;
    const int32_t direction = settings("direction");
    switch (type.kind) {
    case TransitionKind::Wipe: {
        const hx::ShapeKind wipes[] = {hx::ShapeKind::WipeLeftToRight, hx::ShapeKind::WipeRightToLeft,
                                       hx::ShapeKind::WipeTopToBottom, hx::ShapeKind::WipeBottomToTop};
        shape.kind = wipes[std::clamp(direction, 0, 3)];
        break;
    }
    case TransitionKind::Iris:
        shape.kind = direction == 1 ? hx::ShapeKind::IrisClosing : hx::ShapeKind::IrisOpening;
        break;
    default:
        shape.kind = hx::ShapeKind::Clock;
        shape.anticlockwise = direction == 1;
        shape.start = settings("start");
        break;
    }
    return shape;
}

bool samePicture(const OpImage* a, const OpImage* b)
{
    return a->width == b->width && a->height == b->height && a->format == b->format;
}

bool render(const TransitionType& type, const uint8_t* prefs, size_t prefsSize, const Pictures& p, double position,
            int parity)
{
    const Settings settings(type, prefs, prefsSize);
    if (position <= 0) {
        copyPicture(p, p.from);
        return true;
    }
    if (position >= 1) {
        copyPicture(p, p.to);
        return true;
    }
    if (settings("smooth"))
        position = position * position * (3.0 - 2.0 * position);
    switch (type.kind) {
    case TransitionKind::Dissolve:
        blendEverywhere(p, static_cast<float>(position), static_cast<float>(position), false);
        break;
    case TransitionKind::Fade:
        renderFade(p, settings, static_cast<float>(position));
        break;
    case TransitionKind::Push: {
        const int32_t direction = settings("direction");
        if (direction < 2)
            pushAcross(p, position, direction == 0);
        else
            pushAlong(p, position, direction == 2);
        break;
    }
    case TransitionKind::Wipe:
    case TransitionKind::Iris:
    case TransitionKind::Clock:
        renderShape(p, shapeOf(type, settings, p.from, parity), position, settings("border-colour") == 0);
        break;
    }
    return true;
}

} // namespace

namespace hxhost {

bool renderTransition(const TransitionType& type, const uint8_t* prefs, size_t prefsSize, const OpImage* from,
                      const OpImage* to, OpImage* out, double position, int parity, std::string* error)
{
    if (!from || !to || !out)
        return fail(error, "a picture is missing");
    if (out == from || out == to)
        return fail(error, "the output must be a picture of its own");
    if (!samePicture(from, to) || !samePicture(from, out))
        return fail(error, "the pictures differ in size or format");
    if (std::isnan(position))
        return fail(error, "the position is not a number");
    if (parity < -1 || parity > 1)
        return fail(error, "the parity is -1, 0 or 1");
    Pictures pictures{from, to, out, hx::transitionLayout(from->width, from->height, from->format)};
    if (pictures.planes.empty() || from->width <= 0 || from->height <= 0)
        return fail(error, "the pictures' format has no transitions");
    for (const PlaneLayout& plane : pictures.planes)
        if (!from->planes[plane.index] || !to->planes[plane.index] || !out->planes[plane.index])
            return fail(error, "a picture has no pixels");
    try {
        return render(type, prefs, prefsSize, pictures, position, parity);
    } catch (const std::bad_alloc&) {
        return fail(error, "out of memory");
    }
}

bool renderTransition(const HxOperator* op, const OpImage* from, const OpImage* to, OpImage* out, double position,
                      int parity, std::string* error)
{
    const TransitionType* type = transitionOf(op);
    if (!type)
        return fail(error, "the operator is no transition of this host");
    return renderTransition(*type, op->prefs.data(), op->prefs.size(), from, to, out, position, parity, error);
}

} // namespace hxhost
