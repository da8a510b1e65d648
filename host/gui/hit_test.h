// What lies under a point of the screen: the window, the gadget and the grid cell or list row a
// person's pointer is over, and the values a pointer there would pick.
#ifndef HX_GUI_HIT_TEST_H
#define HX_GUI_HIT_TEST_H

#include "gui/canvas.h"
#include "gui/model.h"

namespace hx {

struct Hit {
    UgWindow* window = nullptr;
    Gadget* gadget = nullptr;
    int32_t item = -1; // the grid cell or list row under the point, -1 when none
};

// The topmost window containing the screen point and the gadget made last under it (a drop area laid
// over a button wins), with the item under the point.
Hit hitAt(int32_t screenX, int32_t screenY);
// A gadget's outline on the screen.
Rect gadgetOnScreen(const UgWindow& window, const Gadget& gadget);
// The slider value whose knob position is nearest the screen column.
int32_t sliderValueAt(const UgWindow& window, const Gadget& slider, int32_t screenX);
// Where a grid item dropped at the screen point lands (0 .. count): before the cell under the point
// in its left half, after it in its right half, at the end past the last item.
int32_t dropPositionAt(const UgWindow& window, const Gadget& grid, int32_t screenX, int32_t screenY);
// Scrolls a list or grid by whole rows, as far as it has rows to show, and redraws it.
void scrollRows(UgWindow* window, Gadget& gadget, int32_t rows);

} // namespace hx

#endif
