// A person's pointer on the crop requester's picture: a press near a corner of the rectangle takes
// that corner, a press inside it moves it (unless it covers the whole picture), a press elsewhere on
// the picture draws a new one from there.
#ifndef HX_USER_CROP_GESTURE_H
#define HX_USER_CROP_GESTURE_H

#include "gui/canvas.h"
#include "gui/requesters/crop_requester.h"

#include <optional>

namespace hx {

struct CropPicture {
    Rect onScreen;                 // where the picture is shown, screen pixels
    int32_t width = 0, height = 0; // the picture's own pixels
    int32_t minimumWidth = 1, minimumHeight = 1;
    int32_t cornerReach = 8; // how near a corner, in screen pixels, a press takes it
};

class CropGesture {
public:
    explicit CropGesture(const CropPicture& picture) : picture_(picture) {}
    // Takes hold at a screen point; false outside the picture.
    bool press(int32_t x, int32_t y, const CropRectangle& current);
    // The rectangle with the held corner or the whole rectangle at the screen point.
    CropRectangle move(int32_t x, int32_t y) const;
    bool held() const { return held_.has_value(); }
    void release() { held_.reset(); }

private:
    // The picture pixel edge under a screen point, kept on the picture.
    std::pair<int32_t, int32_t> toPicture(int32_t x, int32_t y) const;

    struct Held {
        bool moving = false;
        int32_t fixedX = 0, fixedY = 0; // the corner that stays, picture pixels
        int32_t pressX = 0, pressY = 0; // where the hold began, picture pixels
        CropRectangle start;
    };
    CropPicture picture_;
    std::optional<Held> held_;
};

} // namespace hx

#endif
