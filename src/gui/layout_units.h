// Layout measures of the host's GUI toolkit, in the short forms the window layouts use.
#ifndef STILLSET_GUI_LAYOUT_UNITS_H
#define STILLSET_GUI_LAYOUT_UNITS_H

#include "host/hxgui.h"

inline int32_t CW(int32_t n) { return ugConvertWidth(n); }
inline int32_t CH(int32_t n) { return ugConvertHeight(n); }
inline int32_t GW(int32_t n) { return ugConvertGadgetWidth(n); }

// Font height, added height, and the height of a row of gadgets.
struct RowMeasures {
    int32_t FH, AH, BH, STEP;
};

inline RowMeasures rowMeasures()
{
    RowMeasures m;
    m.FH = ugGetFontHeightMonitor(ugGetDefaultMonitor());
    m.AH = ugGetAddHeight();
    m.BH = m.FH + m.AH + 4;
    m.STEP = m.BH + CW(4); // the gap between rows is a width conversion
    return m;
}

#endif
