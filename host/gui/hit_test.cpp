// Pointer geometry: which window, gadget and item a screen point falls on.
#include "gui/hit_test.h"

#include "gui/gadget_look.h"
#include "hxhost/window.h"

#include <algorithm>
#include <cstdint>

namespace {

using hx::Gadget;
using hx::Rect;

bool inside(const Rect& r, int32_t x, int32_t y)
{
    return x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1;
}

int32_t itemCount(const Gadget& g)
{
    return static_cast<int32_t>(g.items.size());
}

// The first item of the row shown at window row `y`, or -1; grids count in cells.
int32_t gridItemAt(const Gadget& grid, int32_t x, int32_t y)
{
    const hx::GridLayout layout = hx::gridLayout(grid);
    const int32_t first = grid.firstRow * layout.columns;
    for (int32_t index = first; index < std::min(itemCount(grid), first + layout.rowsShown * layout.columns); ++index)
        if (inside(hx::gridCell(grid, layout, index), x, y))
            return index;
    return -1;
}

int32_t listRowAt(const Gadget& list, int32_t x, int32_t y)
{
    for (int32_t row = list.firstRow; row < std::min(itemCount(list), list.firstRow + hx::listRowsShown(list)); ++row)
        if (inside(hx::listRow(list, row), x, y))
            return row;
    return -1;
}

} // namespace

namespace hx {

Rect gadgetOnScreen(const UgWindow& window, const Gadget& gadget)
{
    return {window.x + gadget.x, window.y + gadget.y, window.x + gadget.x + gadget.width - 1,
            window.y + gadget.y + gadget.height - 1};
}

Hit hitAt(int32_t screenX, int32_t screenY)
{
    const auto& open = openWindows();
    for (auto window = open.rbegin(); window != open.rend(); ++window) {
        UgWindow* w = *window;
        if (!inside({w->x, w->y, w->x + w->width - 1, w->y + w->height - 1}, screenX, screenY))
            continue;
        Hit hit{w, nullptr, -1};
        const int32_t x = screenX - w->x, y = screenY - w->y;
        for (auto gadget = w->gadgets.rbegin(); gadget != w->gadgets.rend(); ++gadget) {
            Gadget& g = **gadget;
            if (!inside({g.x, g.y, g.x + g.width - 1, g.y + g.height - 1}, x, y))
                continue;
            hit.gadget = &g;
            if (g.kind == GadgetKind::GridView)
                hit.item = gridItemAt(g, x, y);
            else if (g.kind == GadgetKind::ListView)
                hit.item = listRowAt(g, x, y);
            break;
        }
        return hit;
    }
    return {};
}

int32_t sliderValueAt(const UgWindow& window, const Gadget& slider, int32_t screenX)
{
    const Rect track = sliderTrack(slider);
    if (track.x1 <= track.x0 || slider.maximum <= slider.minimum)
        return slider.minimum;
    const int64_t along = std::clamp<int64_t>(screenX - window.x - track.x0, 0, track.width());
    const int64_t span = static_cast<int64_t>(slider.maximum) - slider.minimum;
    return static_cast<int32_t>(slider.minimum + (along * span + track.width() / 2) / track.width());
}

int32_t dropPositionAt(const UgWindow& window, const Gadget& grid, int32_t screenX, int32_t screenY)
{
    const int32_t x = screenX - window.x, y = screenY - window.y;
    const GridLayout layout = gridLayout(grid);
    const int32_t first = grid.firstRow * layout.columns;
    const int32_t last = std::min(itemCount(grid), first + layout.rowsShown * layout.columns) - 1;
    if (last < first)
        return itemCount(grid);
    const Rect end = gridCell(grid, layout, last);
    if (y > end.y1 || (y >= end.y0 && x > end.x1))
        return last + 1;
    // The nearest cell shown decides, so a drop between cells still lands where it looks.
    int32_t nearest = first;
    int64_t best = INT64_MAX;
    for (int32_t i = first; i <= last; ++i) {
        const Rect cell = gridCell(grid, layout, i);
        const int64_t dx = x < cell.x0 ? cell.x0 - x : x > cell.x1 ? x - cell.x1 : 0;
        const int64_t dy = y < cell.y0 ? cell.y0 - y : y > cell.y1 ? y - cell.y1 : 0;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = i;
        }
    }
    const Rect cell = gridCell(grid, layout, nearest);
    return x < (cell.x0 + cell.x1 + 1) / 2 ? nearest : nearest + 1;
}

void scrollRows(UgWindow* window, Gadget& gadget, int32_t rows)
{
    int32_t total = 0, shown = 1;
    if (gadget.kind == GadgetKind::GridView) {
        const GridLayout layout = gridLayout(gadget);
        total = (itemCount(gadget) + layout.columns - 1) / layout.columns;
        shown = layout.rowsShown;
    } else if (gadget.kind == GadgetKind::ListView) {
        total = itemCount(gadget);
        shown = listRowsShown(gadget);
    } else {
        return;
    }
    const int32_t first = std::clamp(gadget.firstRow + rows, 0, std::max(0, total - shown));
    if (first == gadget.firstRow)
        return;
    gadget.firstRow = first;
    paintGadget(window, gadget);
}

} // namespace hx

namespace hxhost {

bool itemOnScreen(uint32_t gadget, int32_t item, ViewRect& area)
{
    UgWindow* window = nullptr;
    const hx::Gadget* g = hx::findGadgetAnywhere(gadget, &window);
    if (!g || item < 0 || item >= itemCount(*g))
        return false;
    Rect r;
    if (g->kind == GadgetKind::GridView) {
        const hx::GridLayout layout = hx::gridLayout(*g);
        if (item / layout.columns < g->firstRow || item / layout.columns >= g->firstRow + layout.rowsShown)
            return false;
        r = hx::gridCell(*g, layout, item);
    } else if (g->kind == GadgetKind::ListView) {
        if (item < g->firstRow || item >= g->firstRow + hx::listRowsShown(*g))
            return false;
        r = hx::listRow(*g, item);
    } else {
        return false;
    }
    area = {window->x + r.x0, window->y + r.y0, r.width(), r.height()};
    return true;
}

} // namespace hxhost
