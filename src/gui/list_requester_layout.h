// The shape the transitions and effects requesters share: buttons and popups in a left panel, the
// chosen operators in a list view filling the right one.
#ifndef STILLSET_GUI_LIST_REQUESTER_LAYOUT_H
#define STILLSET_GUI_LIST_REQUESTER_LAYOUT_H

#include "layout_units.h"

#include "host/hxgui.h"

#include <cstdint>

// The height of one list view row: the font and a gap above and below that grows on video screens.
int32_t listRowHeight();

struct ListRequesterLayout {
    int32_t width, height;     // the window
    int32_t leftWidth, rightWidth;
    int32_t listRows, listHeight;
    RowMeasures rows;
};

// Three quarters of the visible width; the list takes at most numerator/denominator of the visible
// height less the frame margins, in an odd number of rows.
ListRequesterLayout listRequesterLayout(int32_t numerator, int32_t denominator);
void drawListRequesterPanels(UgWindow* window, const ListRequesterLayout& layout);
// The left panel's row k: its top, and the panel's inner left edge and width.
int32_t leftPanelRow(const ListRequesterLayout& layout, int32_t k);
int32_t leftPanelX();
int32_t leftPanelWidth(const ListRequesterLayout& layout);
// The empty list view of the right panel, with shortcut key l.
UgGadget addListRequesterListView(UgWindow* window, const ListRequesterLayout& layout);

#endif
