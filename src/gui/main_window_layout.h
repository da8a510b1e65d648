// The main window's two panels, the left one fitted to a whole number of thumbnail rows and columns.
#ifndef STILLSET_GUI_MAIN_WINDOW_LAYOUT_H
#define STILLSET_GUI_MAIN_WINDOW_LAYOUT_H

#include "layout_units.h"

#include <cstdint>

struct MainLayout {
    int32_t W, H0, RW0, LW0, innerW, innerH, gridHmax, cols, rows, gridW, gridH, LW, H, RW;
};

// The layout of the visible area (L, T, R, B) for thumbnails of thumbWidth x thumbHeight; false when
// not even one row of them fits. Without room for a column the grid is only its frame and scroller.
bool computeMainLayout(int32_t L, int32_t T, int32_t R, int32_t B, const RowMeasures& m, MainLayout& l);

#endif
