// The look of the toolkit: window chrome and every kind of gadget, drawn into the window's pixels.
#include "gui/gadget_look.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/font.h"
#include "gui/screen.h"
#include "gui/slider_text.h"

#include <algorithm>

namespace {

using hx::Canvas;
using hx::Gadget;
using hx::Rect;

uint32_t colour(int32_t number)
{
    return hx::guiColour(number);
}

Rect bounds(const Gadget& g)
{
    return {g.x, g.y, g.x + g.width - 1, g.y + g.height - 1};
}

uint32_t mix(uint32_t a, uint32_t b, int32_t numerator, int32_t denominator)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<uint32_t>(ca + (cb - ca) * numerator / std::max(1, denominator)) << shift;
    }
    return out;
}

int32_t sliderKnobWidth()
{
    return std::max(6, hx::convertWidth(8));
}

// A raised face with a soft vertical gradient, as buttons and popups have.
void drawFace(const Canvas& canvas, Rect r)
{
    for (int32_t y = r.y0; y <= r.y1; ++y)
        canvas.fill({r.x0, y, r.x1, y}, mix(colour(hx::kColourButtonTop), colour(hx::kColourButton), y - r.y0, r.height()));
    canvas.frame(r, colour(hx::kColourLight), colour(hx::kColourDark), 1);
}

void drawWell(const Canvas& canvas, Rect r, int32_t fill)
{
    canvas.fill(r, colour(fill));
    canvas.frame(r, colour(hx::kColourDark), colour(hx::kColourLight), 1);
}

int32_t textTop(Rect r)
{
    return r.y0 + (r.height() - hx::fontHeight()) / 2;
}

void drawCentredText(const Canvas& canvas, Rect r, const std::u16string& text, uint32_t rgb)
{
    const int32_t pad = hx::convertWidth(4), room = r.width() - 2 * pad;
    const int32_t width = std::min(hx::textWidth(text), room);
    hx::drawText(canvas, r.x0 + (r.width() - width) / 2, textTop(r), text, rgb, room);
}

// Labels of popups, sliders and check boxes stand left of the gadget, ending a little before it.
void drawLabel(const Canvas& canvas, const Gadget& g, const std::u16string& label)
{
    if (label.empty())
        return;
    const int32_t end = g.x - hx::convertWidth(6), width = hx::textWidth(label);
    hx::drawText(canvas, std::max(0, end - width), textTop(bounds(g)), label, colour(hx::kColourText), end);
}

void drawIcon(const Canvas& canvas, const hx::Icon& icon, int32_t x, int32_t y)
{
    for (int32_t row = 0; row < icon.height; ++row)
        for (int32_t col = 0; col < icon.width; ++col)
            canvas.blend(x + col, y + row, icon.pixels[static_cast<size_t>(row) * icon.width + col]);
}

void drawIconCentred(const Canvas& canvas, const hx::Icon& icon, Rect r)
{
    const hx::Icon fitted = hx::fittedIcon(icon, r.width(), r.height());
    drawIcon(canvas, fitted, r.x0 + (r.width() - fitted.width) / 2, r.y0 + (r.height() - fitted.height) / 2);
}

void paintTextButton(const Canvas& canvas, const Gadget& g)
{
    drawFace(canvas, bounds(g));
    drawCentredText(canvas, bounds(g), g.text, colour(hx::kColourText));
}

void paintImageButton(const Canvas& canvas, const Gadget& g)
{
    const Rect r = bounds(g);
    drawFace(canvas, r);
    drawIconCentred(canvas, g.image, {r.x0 + 3, r.y0 + 3, r.x1 - 3, r.y1 - 3});
}

void paintCheckBox(const Canvas& canvas, const Gadget& g)
{
    const Rect r = bounds(g);
    canvas.fill(r, colour(hx::kColourPanel));
    drawLabel(canvas, g, g.text);
    const int32_t side = std::max(6, std::min({r.width(), r.height(), hx::fontHeight() + 4}) - 2);
    const Rect box{r.x0 + (r.width() - side) / 2, r.y0 + (r.height() - side) / 2, 0, 0};
    const Rect square{box.x0, box.y0, box.x0 + side - 1, box.y0 + side - 1};
    drawWell(canvas, square, g.state ? hx::kColourSelection : hx::kColourTrack);
    if (!g.state)
        return;
    const int32_t thick = std::max(2, side / 8);
    const int32_t x0 = square.x0 + side / 5, y0 = square.y0 + side / 2;
    const int32_t x1 = square.x0 + side * 2 / 5, y1 = square.y1 - side / 5;
    const int32_t x2 = square.x1 - side / 5, y2 = square.y0 + side / 5;
    canvas.line(x0, y0, x1, y1, thick, colour(hx::kColourSelectedText));
    canvas.line(x1, y1, x2, y2, thick, colour(hx::kColourSelectedText));
}

void paintPopup(const Canvas& canvas, const Gadget& g)
{
    const Rect r = bounds(g);
    drawLabel(canvas, g, g.text);
    drawFace(canvas, r);
    const int32_t arrow = std::max(4, r.height() / 4), pad = hx::convertWidth(6);
    const int32_t ax = r.x1 - pad - arrow, ay = r.y0 + (r.height() - arrow) / 2;
    for (int32_t i = 0; i < arrow; ++i)
        canvas.fill({ax - arrow + i, ay + i, ax + arrow - i, ay + i}, colour(hx::kColourText));
    if (g.selected >= 0 && g.selected < static_cast<int32_t>(g.items.size()))
        hx::drawText(canvas, r.x0 + pad, textTop(r), g.items[static_cast<size_t>(g.selected)].text,
                     colour(hx::kColourText), r.width() - 3 * pad - 2 * arrow);
}

void paintSlider(const Canvas& canvas, const Gadget& g)
{
    const Rect r = bounds(g);
    canvas.fill(r, colour(hx::kColourPanel));
    drawLabel(canvas, g, g.text);
    const std::u16string shown = hx::sliderText(g.format, g.value);
    const int32_t valueWidth = g.valueWidth > 0 ? g.valueWidth : hx::textWidth(shown) + 2 * hx::convertWidth(4);
    const int32_t knob = sliderKnobWidth();
    const Rect track = hx::sliderTrack(g);
    if (track.x1 > track.x0) {
        const int64_t span = std::max<int64_t>(1, static_cast<int64_t>(g.maximum) - g.minimum);
        const int32_t at = track.x0 + static_cast<int32_t>((static_cast<int64_t>(g.value) - g.minimum) * track.width() / span);
        drawWell(canvas, track, hx::kColourTrack);
        canvas.fill({track.x0 + 1, track.y0 + 1, at, track.y1 - 1}, colour(hx::kColourSelection));
        drawFace(canvas, {at - knob / 2, r.y0 + 2, at - knob / 2 + knob - 1, r.y1 - 2});
    }
    const int32_t width = hx::textWidth(shown);
    hx::drawText(canvas, r.x1 - width - hx::convertWidth(2), textTop(r), shown, colour(hx::kColourText), valueWidth);
}

void paintListView(const Canvas& canvas, const Gadget& g)
{
    const Rect r = bounds(g);
    drawWell(canvas, r, hx::kColourListBackground);
    const Canvas inside = canvas.clipped({r.x0 + 2, r.y0 + 2, r.x1 - 2, r.y1 - 2});
    const int32_t rowHeight = hx::listRowHeight(), pad = hx::convertWidth(6);
    for (int32_t row = g.firstRow; row < static_cast<int32_t>(g.items.size()); ++row) {
        const Rect line = hx::listRow(g, row);
        const int32_t top = line.y0;
        if (top > r.y1)
            break;
        const hx::Item& item = g.items[static_cast<size_t>(row)];
        const bool selected = row == g.selected;
        if (selected)
            inside.fill(line, colour(hx::kColourSelection));
        if (item.record.flags == UG_ITEM_SEPARATOR) {
            const int32_t mid = top + rowHeight / 2;
            inside.fill({line.x0 + pad, mid, line.x1 - pad, mid}, colour(selected ? hx::kColourSelectedText : hx::kColourSeparator));
            continue;
        }
        int32_t x = line.x0 + pad;
        if (!item.image.empty()) {
            const hx::Icon icon = hx::fittedIcon(item.image, rowHeight - 4, rowHeight - 4);
            drawIcon(inside, icon, x, top + (rowHeight - icon.height) / 2);
            x += rowHeight;
        }
        hx::drawText(inside, x, textTop(line), item.text, colour(selected ? hx::kColourSelectedText : hx::kColourText),
                     line.x1 - x - pad);
    }
}

void paintCell(UgWindow* window, const Canvas& grid, Gadget& g, size_t index, Rect cell)
{
    hx::Item& item = g.items[index];
    if (!g.painter) {
        grid.fill(cell, colour(hx::kColourEmptyCell));
        if (!item.image.empty())
            drawIconCentred(grid.clipped(cell), item.image, cell);
        drawCentredText(grid.clipped(cell), cell, item.text, colour(hx::kColourText));
        return;
    }
    grid.fill(cell, colour(hx::kColourListBackground));
    // The painter draws with a null window into the cell, in the program's coordinates.
    Canvas target = hx::contentCanvas(window);
    target.clip = grid.clip.intersect(cell);
    hx::setCurrentTarget(target);
    item.record.text = item.text.empty() ? nullptr : item.text.c_str();
    const int32_t ox = window->contentX, oy = window->contentY;
    const UgItem shown = item.record; // the painter may change the grid while it paints
    g.painter(&shown, cell.x0 - ox, cell.y0 - oy, cell.x1 - ox, cell.y1 - oy);
    hx::setCurrentTarget(std::nullopt);
}

void paintGrid(UgWindow* window, const Canvas& canvas, Gadget& g)
{
    const Rect r = bounds(g);
    canvas.fill(r, colour(hx::kColourListBackground));
    const hx::GridLayout layout = gridLayout(g);
    const Canvas grid = canvas.clipped({r.x0, r.y0, r.x1 - layout.scrollWidth, r.y1});
    const int32_t first = g.firstRow * layout.columns, shown = layout.rowsShown * layout.columns;
    const UgGadget id = g.id;
    for (int32_t index = first; index < first + shown; ++index) {
        if (!hx::findGadget(window, id))
            return; // the painter removed the grid
        if (index >= static_cast<int32_t>(g.items.size()))
            break;
        paintCell(window, grid, g, static_cast<size_t>(index), hx::gridCell(g, layout, index));
    }
    if (!hx::findGadget(window, id))
        return;
    if (g.selected >= first && g.selected < first + shown) {
        const Rect cell = hx::gridCell(g, layout, g.selected);
        const int32_t ring = std::clamp(layout.gapX / 2, 1, 3);
        grid.frame({cell.x0 - ring, cell.y0 - ring, cell.x1 + ring, cell.y1 + ring}, colour(hx::kColourFocus),
                   colour(hx::kColourFocus), ring);
    }
    if (layout.scrollWidth <= 0)
        return;
    const Rect bar{r.x1 - layout.scrollWidth + layout.gapX, r.y0, r.x1 - 2, r.y1};
    drawWell(canvas, bar, hx::kColourTrack);
    const int32_t rows = (static_cast<int32_t>(g.items.size()) + layout.columns - 1) / layout.columns;
    if (rows > layout.rowsShown && bar.height() > 4) {
        const int32_t span = bar.height() - 4;
        const int32_t top = bar.y0 + 2 + span * g.firstRow / rows, height = std::max(6, span * layout.rowsShown / rows);
        drawFace(canvas, {bar.x0 + 2, top, bar.x1 - 2, std::min(bar.y1 - 2, top + height - 1)});
    }
}

} // namespace

namespace hx {

Rect gridCell(const Gadget& g, const GridLayout& layout, int32_t index)
{
    const int32_t column = index % layout.columns, row = index / layout.columns - g.firstRow;
    const int32_t x = g.x + layout.gapX + column * (g.cellWidth + layout.gapX);
    const int32_t y = g.y + row * (g.cellHeight + layout.gapY);
    return {x, y, x + g.cellWidth - 1, y + g.cellHeight - 1};
}

Rect listRow(const Gadget& list, int32_t row)
{
    const int32_t top = list.y + 2 + (row - list.firstRow) * listRowHeight();
    return {list.x + 2, top, list.x + list.width - 3, top + listRowHeight() - 1};
}

Rect sliderTrack(const Gadget& g)
{
    const Rect r = bounds(g);
    const int32_t valueWidth = g.valueWidth > 0 ? g.valueWidth : textWidth(sliderText(g.format, g.value)) + 2 * convertWidth(4);
    const int32_t knob = sliderKnobWidth();
    return {r.x0 + knob / 2, r.y0 + r.height() / 2 - 2, r.x1 - valueWidth - knob / 2, r.y0 + r.height() / 2 + 2};
}

GridLayout gridLayout(const Gadget& grid)
{
    GridLayout layout;
    layout.gapX = convertWidth(4);
    layout.gapY = convertHeight(4);
    layout.scrollWidth = convertWidth(26);
    const int32_t cellW = std::max(1, grid.cellWidth), cellH = std::max(1, grid.cellHeight);
    layout.columns = std::max(1, (grid.width - layout.scrollWidth - layout.gapX) / (cellW + layout.gapX));
    layout.rowsShown = std::max(1, (grid.height + layout.gapY) / (cellH + layout.gapY));
    return layout;
}

int32_t listRowsShown(const Gadget& list)
{
    return std::max(1, (list.height - 4) / listRowHeight());
}

void keepSelectionShown(Gadget& gadget)
{
    if (gadget.selected < 0)
        return;
    int32_t row = gadget.selected, shown = 1;
    if (gadget.kind == GadgetKind::GridView) {
        const GridLayout layout = gridLayout(gadget);
        row = gadget.selected / layout.columns;
        shown = layout.rowsShown;
    } else if (gadget.kind == GadgetKind::ListView) {
        shown = listRowsShown(gadget);
    } else {
        return;
    }
    if (row < gadget.firstRow)
        gadget.firstRow = row;
    else if (row >= gadget.firstRow + shown)
        gadget.firstRow = row - shown + 1;
}

void paintWindowChrome(UgWindow* window)
{
    const Canvas canvas = windowCanvas(window);
    canvas.fill({0, 0, window->width - 1, window->height - 1}, colour(kColourWindow));
    if (!(window->flags & kWindowBorderless))
        canvas.frame({0, 0, window->width - 1, window->height - 1}, colour(kColourLight), colour(kColourDark), 2);
    if (window->contentY > window->contentX) {
        const Rect bar{window->contentX, window->contentX, window->width - 1 - window->contentX, window->contentY - 1};
        canvas.fill(bar, colour(kColourTitleBar));
        drawText(canvas, bar.x0 + convertWidth(8), textTop(bar), window->title, colour(kColourTitleText),
                 bar.width() - 2 * convertWidth(8));
    }
    const int32_t contentBottom = window->contentY + window->contentHeight;
    if (window->height - window->contentX > contentBottom) {
        const Rect bar{window->contentX, contentBottom, window->width - 1 - window->contentX, window->height - 1 - window->contentX};
        canvas.fill(bar, colour(kColourPanel));
        canvas.fill({bar.x0, bar.y0, bar.x1, bar.y0}, colour(kColourSeparator));
    }
}

void paintGadget(UgWindow* window, Gadget& gadget)
{
    gadget.dirty = false;
    const Canvas canvas = windowCanvas(window);
    switch (gadget.kind) {
    case GadgetKind::TextButton: paintTextButton(canvas, gadget); break;
    case GadgetKind::ImageButton: paintImageButton(canvas, gadget); break;
    case GadgetKind::CheckBox: paintCheckBox(canvas, gadget); break;
    case GadgetKind::Popup: paintPopup(canvas, gadget); break;
    case GadgetKind::Slider: paintSlider(canvas, gadget); break;
    case GadgetKind::ListView: paintListView(canvas, gadget); break;
    case GadgetKind::GridView: paintGrid(window, canvas, gadget); break;
    case GadgetKind::ClickArea: break; // an invisible area over what the program drew
    }
    screenChanged();
}

void paintDirtyGadgets()
{
    for (UgWindow* window : openWindows())
        for (size_t i = 0; i < window->gadgets.size(); ++i)
            if (window->gadgets[i]->dirty)
                paintGadget(window, *window->gadgets[i]);
}

} // namespace hx
