// The preview size of the editing requesters: the output frame fitted into a part of the screen.
#ifndef STILLSET_GUI_PREVIEW_FIT_H
#define STILLSET_GUI_PREVIEW_FIT_H

#include <cstdint>

struct VisibleArea {
    int32_t width, height; // of the screen area the toolkit shows
};
VisibleArea visibleArea();

struct PreviewSize {
    int16_t width, height;
};
// The output frame's shape fitted into wmax x hmax screen pixels.
PreviewSize fitPreview(int32_t wmax, int32_t hmax);
// Draws the frame around a preview of `size` in the requester's top left corner; the picture's place.
struct ScreenRect framePreview(struct UgWindow* window, PreviewSize size);

#endif
