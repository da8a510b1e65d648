#include "main_window_layout.h"

#include "main_window.h"

bool computeMainLayout(int32_t L, int32_t T, int32_t R, int32_t B, const RowMeasures& m, MainLayout& l)
{
    l.W = R - L - 2 * CW(20) + 1;
    l.H0 = B - T - 3 * CH(10) - 2 * CW(6) - m.FH - m.AH - 7;
    l.RW0 = l.W / 3;
    if (l.RW0 & 1)
        ++l.RW0;
    l.LW0 = l.W - l.RW0 - CW(20);
    l.innerW = l.LW0 - 2 * CW(6) - 4;
    l.innerH = l.H0 - 2 * CW(6) - 4;
    l.gridHmax = l.innerH - 6 * m.STEP;
    if (thumbWidth <= 0 || thumbHeight <= 0)
        return false;
    int32_t c = 1;
    while (CW(26) + c * thumbWidth + (c + 1) * CW(4) < l.innerW)
        ++c;
    l.cols = c - 1;
    l.gridW = CW(26) + l.cols * thumbWidth + (l.cols + 1) * CW(4);
    int32_t r = 1;
    while ((r - 1) * CH(4) + r * thumbHeight < l.gridHmax)
        ++r;
    l.rows = r - 1;
    l.gridH = (l.rows - 1) * CH(4) + l.rows * thumbHeight;
    l.LW = l.LW0 + l.gridW - l.innerW;
    l.H = l.H0 + l.gridH - l.gridHmax;
    l.RW = l.W - l.LW - CW(20);
    // A grid of no rows cannot be made; one of no columns is still a window the user can work in.
    return l.rows > 0;
}
