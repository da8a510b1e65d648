// The crop requester while it waits for its answer: where its picture stands on the screen, so that
// a person's pointer can draw the rectangle, and the rectangle shown as it is drawn.
#ifndef HX_GUI_REQUESTERS_CROP_REQUESTER_H
#define HX_GUI_REQUESTERS_CROP_REQUESTER_H

#include "gui/canvas.h"

#include <cstdint>

namespace hx {

struct CropRectangle {
    int32_t x = 0, y = 0, width = 0, height = 0; // picture pixels
    bool operator==(const CropRectangle&) const = default;
};

class StandingCrop {
public:
    virtual ~StandingCrop() = default;
    // The picture's place on the screen, screen pixels.
    virtual Rect pictureOnScreen() const = 0;
    virtual int32_t pictureWidth() const = 0;
    virtual int32_t pictureHeight() const = 0;
    // The smallest rectangle the requester takes.
    virtual int32_t minimumWidth() const = 0;
    virtual int32_t minimumHeight() const = 0;
    // Draws the requester with this rectangle.
    virtual void show(const CropRectangle& rectangle) = 0;
};

// The crop requester on the screen, none while there is none.
StandingCrop* standingCrop();

} // namespace hx

#endif
