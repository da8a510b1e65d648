// Coverage of the edge transitions. Every edge is a ramp across its signed distance d (positive on
// the incoming side): ramp(d) = clamp(0.5 + d / w, 0, 1), w at least one pixel, which for a hard
// straight edge is exactly the share of each pixel's area past the edge. A border of width b centred
// on the edge moves the incoming side's edge by b / 2 inwards and the outgoing side's outwards.
// Each edge starts just outside the picture and ends just past it, so position 0 shows only the
// outgoing picture and position 1 only the incoming one.
#include "operators/transition_shapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace hx {
namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

inline float ramp(float d, float inverseWidth)
{
    return std::clamp(0.5f + d * inverseWidth, 0.0f, 1.0f);
}

// atan2(y, x) in -pi..pi without a call, to about 1e-5 radians: a polynomial on 0..1 and the
// octant folded back by selects, so that a row of them vectorises.
inline float angleOf(float y, float x)
{
    const float ax = std::fabs(x), ay = std::fabs(y);
    const float hi = std::max(ax, ay), lo = std::min(ax, ay);
    const float a = lo / std::max(hi, 1e-20f);
    const float s = a * a;
    float r = a * (0.99997726f + s * (-0.33262347f + s * (0.19354346f + s * (-0.11643287f + s * (0.05265332f + s * -0.01172120f)))));
    r = ay > ax ? std::numbers::pi_v<float> / 2 - r : r;
    r = x < 0 ? std::numbers::pi_v<float> - r : r;
    return y < 0 ? -r : r;
}

bool horizontalWipe(ShapeKind kind)
{
    return kind == ShapeKind::WipeLeftToRight || kind == ShapeKind::WipeRightToLeft;
}

} // namespace

ShapeRows::ShapeRows(const Shape& shape, double position) : shape_(shape)
{
    const FrameGeometry& f = shape.frame;
    const float p = static_cast<float>(std::clamp(position, 0.0, 1.0));
    const float frameHeight = f.frameHeight();
    // Soft edges up to a quarter of the picture, borders up to a twentieth of its height.
    const float border = shape.border * frameHeight / 20.0f;
    switch (shape.kind) {
    case ShapeKind::WipeLeftToRight:
    case ShapeKind::WipeRightToLeft:
    case ShapeKind::WipeTopToBottom:
    case ShapeKind::WipeBottomToTop: {
        // Along the wipe's axis: pixels across, frame rows down.
        const bool across = horizontalWipe(shape.kind);
        const float extent = across ? static_cast<float>(f.width) : frameHeight;
        ramp_ = std::max(1.0f, shape.softness * extent / 4.0f);
        half_ = (across ? border / f.pixelAspect : border) / 2.0f;
        const float margin = ramp_ / 2.0f + half_;
        edge_ = 0.5f - margin + p * (extent - 1.0f + 2.0f * margin);
        break;
    }
    case ShapeKind::IrisOpening:
    case ShapeKind::IrisClosing: {
        ramp_ = std::max(1.0f, shape.softness * frameHeight / 4.0f);
        half_ = border / 2.0f;
        const float margin = ramp_ / 2.0f + half_;
        const float corner = std::hypot(f.width * f.pixelAspect / 2.0f, frameHeight / 2.0f);
        const float travel = p * (corner + 2.0f * margin);
        edge_ = shape.kind == ShapeKind::IrisOpening ? travel - margin : corner + margin - travel;
        break;
    }
    case ShapeKind::Clock:
        ramp_ = std::max(1.0f, shape.softness * frameHeight / 4.0f);
        half_ = border / 2.0f;
        edge_ = p * kTwoPi;
        break;
    }
}

void ShapeRows::row(const SampleSet& set, float imageY, float* inner, float* outer) const
{
    const float frameY = shape_.frame.frameY(imageY);
    switch (shape_.kind) {
    case ShapeKind::IrisOpening:
    case ShapeKind::IrisClosing:
        irisRow(set, frameY, inner, outer);
        break;
    case ShapeKind::Clock:
        clockRow(set, frameY, inner, outer);
        break;
    default:
        wipeRow(set, frameY, inner, outer);
        break;
    }
}

void ShapeRows::wipeRow(const SampleSet& set, float frameY, float* inner, float* outer) const
{
    const float inverse = 1.0f / ramp_, edge = edge_, half = half_;
    const int32_t n = set.count;
    if (!horizontalWipe(shape_.kind)) {
        const float t = shape_.kind == ShapeKind::WipeTopToBottom ? frameY : shape_.frame.frameHeight() - frameY;
        std::fill(inner, inner + n, ramp(edge - t - half, inverse));
        std::fill(outer, outer + n, ramp(edge - t + half, inverse));
        return;
    }
    // t = x for left to right, width - x for right to left: t = origin + s * step.
    const bool fromLeft = shape_.kind == ShapeKind::WipeLeftToRight;
    const float x0 = 0.5f * set.xScale;
    const float origin = fromLeft ? x0 : static_cast<float>(shape_.frame.width) - x0;
    const float step = fromLeft ? set.xScale : -set.xScale;
    for (int32_t s = 0; s < n; ++s) {
        const float d = edge - (origin + static_cast<float>(s) * step);
        inner[s] = ramp(d - half, inverse);
        outer[s] = ramp(d + half, inverse);
    }
}

void ShapeRows::irisRow(const SampleSet& set, float frameY, float* inner, float* outer) const
{
    const FrameGeometry& f = shape_.frame;
    const float inverse = 1.0f / ramp_, edge = edge_, half = half_;
    const float y = frameY - f.frameHeight() / 2.0f;
    const float yy = y * y;
    const float x0 = (0.5f * set.xScale - f.width / 2.0f) * f.pixelAspect, dx = set.xScale * f.pixelAspect;
    const float sign = shape_.kind == ShapeKind::IrisOpening ? 1.0f : -1.0f;
    for (int32_t s = 0; s < set.count; ++s) {
        const float x = x0 + static_cast<float>(s) * dx;
        const float d = sign * (edge - std::sqrt(x * x + yy));
        inner[s] = ramp(d - half, inverse);
        outer[s] = ramp(d + half, inverse);
    }
}

// The clock wipe is a wipe along each circle round the centre: at radius r the incoming picture
// covers the arc from the start to the hand, r * theta long, and the circle's length wraps it. The
// share of a slab [a, b] under a ramp is ramp(x - a) + ramp(b - x) - 1 (clamped at 0), exact for
// thin slabs too; summing the slab's copies one turn before and after handles the wrap at the start.
void ShapeRows::clockSpan(const SampleSet& set, float y, int32_t first, int32_t last, float* inner, float* outer) const
{
    const FrameGeometry& f = shape_.frame;
    const float theta = edge_, half = half_;
    const float x0 = (0.5f * set.xScale - f.width / 2.0f) * f.pixelAspect, dx = set.xScale * f.pixelAspect;
    const float start = static_cast<float>(shape_.start) * (kTwoPi / 4.0f);
    const float turn = shape_.anticlockwise ? -1.0f : 1.0f;
    for (int32_t s = first; s < last; ++s) {
        const float x = x0 + static_cast<float>(s) * dx;
        const float r = std::sqrt(x * x + y * y);
        // Clockwise on the screen from 12 o'clock (rows run down), then from the start, in 0..2pi.
        float phi = turn * (angleOf(x, -y) - start);
        phi += phi < 0 ? kTwoPi : 0.0f;
        phi += phi < 0 ? kTwoPi : 0.0f;
        phi -= phi >= kTwoPi ? kTwoPi : 0.0f;
        // Near the centre a circle is shorter than the ramp: the ramp shrinks with it.
        const float inverse = 1.0f / std::max(std::min(ramp_, kTwoPi * r), 1e-6f);
        const float a = r * phi, b = r * theta - a, lap = r * kTwoPi;
        auto slab = [&](float from, float to, float grow) {
            return std::max(0.0f, ramp(from + grow, inverse) + ramp(to + grow, inverse) - 1.0f);
        };
        const float in = slab(a, b, -half) + slab(a - lap, b + lap, -half) + slab(a + lap, b - lap, -half);
        const float out = slab(a, b, half) + slab(a - lap, b + lap, half) + slab(a + lap, b - lap, half);
        inner[s] = std::min(in, 1.0f);
        outer[s] = std::min(out, 1.0f);
    }
}

// Away from the centre and from both rays (start and hand) every ramp is saturated, so a stretch of
// the row between them is all one picture: one sample of it is worked out and copied along.
void ShapeRows::clockRow(const SampleSet& set, float frameY, float* inner, float* outer) const
{
    const FrameGeometry& f = shape_.frame;
    const float y = frameY - f.frameHeight() / 2.0f;
    const float x0 = (0.5f * set.xScale - f.width / 2.0f) * f.pixelAspect, dx = set.xScale * f.pixelAspect;
    const float reach = ramp_ / 2.0f + half_ + 1.5f * std::max(1.0f, dx);
    const float left = x0 - 2.0f * dx, right = x0 + static_cast<float>(set.count + 1) * dx;
    std::array<std::pair<int32_t, int32_t>, 3> near{};
    int spans = 0;
    auto add = [&](float lo, float hi) {
        lo = std::max(lo, left);
        hi = std::min(hi, right);
        if (lo > hi)
            return;
        const auto first = static_cast<int32_t>(std::floor((lo - x0) / dx)) - 1;
        const auto last = static_cast<int32_t>(std::ceil((hi - x0) / dx)) + 2;
        near[spans++] = {std::clamp(first, 0, set.count), std::clamp(last, 0, set.count)};
    };
    const float core = ramp_ + 2.0f * half_ + reach;
    if (std::fabs(y) < core) {
        const float w = std::sqrt(core * core - y * y);
        add(-w, w);
    }
    const float start = static_cast<float>(shape_.start) * (kTwoPi / 4.0f);
    const float hand = start + (shape_.anticlockwise ? -edge_ : edge_);
    for (const float angle : {start, hand}) {
        // The band within reach of the ray from the centre towards (ux, uy), on this row.
        const float ux = std::sin(angle), uy = -std::cos(angle);
        float lo = left, hi = right;
        if (std::fabs(uy) > 1e-6f) {
            const float centre = y * ux / uy, width = reach / std::fabs(uy);
            lo = centre - width;
            hi = centre + width;
        } else if (std::fabs(y * ux) > reach) {
            continue;
        }
        if (std::fabs(ux) > 1e-6f) {
            const float bound = (-reach - y * uy) / ux;
            (ux > 0 ? lo : hi) = ux > 0 ? std::max(lo, bound) : std::min(hi, bound);
        } else if (y * uy < -reach) {
            continue;
        }
        add(lo, hi);
    }
    for (int i = 1; i < spans; ++i) // by first sample
        for (int j = i; j > 0 && near[j].first < near[j - 1].first; --j)
            std::swap(near[j], near[j - 1]);
    int32_t done = 0;
    auto fillTo = [&](int32_t end) {
        if (done >= end)
            return;
        const int32_t middle = done + (end - done) / 2;
        clockSpan(set, y, middle, middle + 1, inner, outer);
        std::fill(inner + done, inner + end, inner[middle]);
        std::fill(outer + done, outer + end, outer[middle]);
        done = end;
    };
    for (int i = 0; i < spans; ++i) {
        fillTo(near[i].first);
        const int32_t from = std::max(done, near[i].first);
        clockSpan(set, y, from, near[i].second, inner, outer);
        done = std::max(done, near[i].second);
    }
    fillTo(set.count);
}

} // namespace hx
