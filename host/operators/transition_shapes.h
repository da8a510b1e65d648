// The edge transitions (wipe, iris, clock) as coverage: for each sample of a row, how much of the
// incoming picture it shows and how much of the border, with anti-aliased, sub-pixel edges.
#ifndef HX_TRANSITION_SHAPES_H
#define HX_TRANSITION_SHAPES_H

#include "operators/transition_layout.h"

namespace hx {

enum class ShapeKind { WipeLeftToRight, WipeRightToLeft, WipeTopToBottom, WipeBottomToTop, IrisOpening,
                       IrisClosing, Clock };

// Where a picture lies on the frame: its size, whether it is a field (and which), its pixel aspect.
struct FrameGeometry {
    int32_t width = 0;
    int32_t height = 0;     // of the picture: a field has half the frame's rows
    int parity = -1;        // -1: a whole frame
    float pixelAspect = 1;

    float frameHeight() const { return parity < 0 ? static_cast<float>(height) : 2.0f * height; }
    // The frame row (centre, in frame rows) of the picture's row coordinate y (0.5 = first row's centre).
    float frameY(float y) const { return parity < 0 ? y : 2.0f * y + static_cast<float>(parity) - 0.5f; }
};

struct Shape {
    ShapeKind kind = ShapeKind::WipeLeftToRight;
    FrameGeometry frame;
    float softness = 0;   // 0..1 of the largest soft edge
    float border = 0;     // 0..1 of the widest border
    bool anticlockwise = false;
    int start = 0;        // clock: quarter turns clockwise from 12 o'clock
};

// Everything a row needs, worked out once for a position of the transition.
class ShapeRows {
public:
    ShapeRows(const Shape& shape, double position);
    // inner: the incoming picture's share of each sample, outer: that plus the border's.
    void row(const SampleSet& set, float imageY, float* inner, float* outer) const;

private:
    void wipeRow(const SampleSet& set, float frameY, float* inner, float* outer) const;
    void irisRow(const SampleSet& set, float frameY, float* inner, float* outer) const;
    void clockRow(const SampleSet& set, float frameY, float* inner, float* outer) const;
    // Samples first..last-1 of a clock row `y` display rows below the centre.
    void clockSpan(const SampleSet& set, float y, int32_t first, int32_t last, float* inner, float* outer) const;

    Shape shape_;
    float ramp_ = 1;   // width of the soft edge
    float half_ = 0;   // half the border
    float edge_ = 0;   // wipe: edge along its axis; iris: radius; clock: angle of the hand
};

} // namespace hx

#endif
