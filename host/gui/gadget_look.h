// How windows and gadgets look: the host draws them into the window's pixels.
#ifndef HX_GUI_PAINT_H
#define HX_GUI_PAINT_H

#include "gui/canvas.h"
#include "gui/model.h"

namespace hx {

// Background, frame, title bar and the bar of the OK and Cancel gadgets.
void paintWindowChrome(UgWindow* window);
// Draws the gadget as it stands now; a grid calls its cell painter for every cell shown.
void paintGadget(UgWindow* window, Gadget& gadget);
// Draws every gadget changed without a redraw since (once refresh is back on).
void paintDirtyGadgets();

// Grid and list geometry shared by drawing and the user's pointer.
struct GridLayout {
    int32_t columns = 1, rowsShown = 1, gapX = 0, gapY = 0, scrollWidth = 0;
};
GridLayout gridLayout(const Gadget& grid);
int32_t listRowsShown(const Gadget& list);
// Where things are drawn, in window pixels: a grid's cell `index` (its row may be scrolled out), a
// list's row, and the track a slider's knob runs along.
Rect gridCell(const Gadget& grid, const GridLayout& layout, int32_t index);
Rect listRow(const Gadget& list, int32_t row);
Rect sliderTrack(const Gadget& slider);
// Scrolls a list or grid so that its selection is shown.
void keepSelectionShown(Gadget& gadget);

} // namespace hx

#endif
