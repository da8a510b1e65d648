#include "list_requester_layout.h"

#include "gadget_helpers.h"

ListRequesterLayout listRequesterLayout(int32_t numerator, int32_t denominator)
{
    int16_t L = 0, T = 0, R = 0, B = 0;
    ugGetVisibleArea(&L, &T, &R, &B);
    ListRequesterLayout l{};
    l.rows = rowMeasures();
    l.width = (R - L + 1) * 3 / 4;
    const int32_t avail = (B - T + 1) * numerator / denominator - 2 * CW(6) - 4;
    const int32_t RH = listRowHeight();
    l.listRows = 1; // a screen too small for even one row still gets a list of one
    for (int32_t k = 3; k * RH + 4 <= avail; k += 2)
        l.listRows = k;
    l.listHeight = l.listRows * RH + 4;
    l.height = l.listHeight + 2 * CW(6) + 4;
    l.rightWidth = l.width / 2;
    if (l.rightWidth & 1)
        ++l.rightWidth;
    l.leftWidth = l.width - l.rightWidth - CW(20);
    return l;
}

void drawListRequesterPanels(UgWindow* window, const ListRequesterLayout& l)
{
    ugDrawBoxNew(window, 0, 0, l.leftWidth - 1, l.height - 1, 4, 5, 0, 0);
    const int32_t right = l.leftWidth + CW(20);
    ugDrawBoxNew(window, right, 0, right + l.rightWidth - 1, l.height - 1, 4, 5, 0, 0);
}

int32_t leftPanelRow(const ListRequesterLayout& l, int32_t k)
{
    return CW(6) + 2 + k * l.rows.STEP;
}

int32_t leftPanelX()
{
    return CW(6) + 2;
}

int32_t leftPanelWidth(const ListRequesterLayout& l)
{
    return l.leftWidth - 2 * CW(6) - 4;
}

UgGadget addListRequesterListView(UgWindow* window, const ListRequesterLayout& l)
{
    ListHead empty;
    ListInit(&empty);
    const UgGadget list = ugAddListview(window, l.leftWidth + CW(20) + CW(6) + 2, CW(6) + 2,
                                        l.rightWidth - 2 * CW(6) - 4, l.listHeight, &empty, 0, 0, 0);
    setShortcut(window, list, 'l');
    return list;
}

int32_t listRowHeight()
{
    const bool videoScreen = ugGetVideoMode() == 1 || ugGetDefaultMonitor() == 1 || ugGetDVIMode() == 1;
    return ugGetFontHeight() + 2 * (videoScreen ? CH(4) : CH(2));
}
