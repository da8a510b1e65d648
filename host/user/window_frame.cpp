// Drawing the desktop window's frame in the toolkit's own colours and font.
#include "user/window_frame.h"

#include "gui/colour.h"
#include "gui/font.h"
#include "gui/model.h"
#include "gui/screen.h"

#include <algorithm>

namespace {

using hx::Rect;

// Marks are drawn as outlines so the gadget under them stays readable.
void outline(std::vector<uint32_t>& pixels, int32_t width, int32_t height, Rect r, uint32_t rgb, int32_t thickness)
{
    r = r.intersect({0, 0, width - 1, height - 1});
    for (int32_t y = r.y0; y <= r.y1; ++y)
        for (int32_t x = r.x0; x <= r.x1; ++x)
            if (x - r.x0 < thickness || r.x1 - x < thickness || y - r.y0 < thickness || r.y1 - y < thickness)
                pixels[static_cast<size_t>(y) * width + x] = rgb;
}

void darken(std::vector<uint32_t>& pixels, int32_t width, int32_t height, Rect r)
{
    r = r.intersect({0, 0, width - 1, height - 1});
    for (int32_t y = r.y0; y <= r.y1; ++y)
        for (int32_t x = r.x0; x <= r.x1; ++x) {
            uint32_t& p = pixels[static_cast<size_t>(y) * width + x];
            p = hx::blendArgb(p, 0x50000000);
        }
}

} // namespace

namespace hx {

int32_t statusLineHeight()
{
    return rowHeight() + 2 * convertHeight(4);
}

Frame composeFrame(const hxhost::Picture& screen, const FrameMarks& marks)
{
    Frame frame;
    frame.width = screen.width;
    frame.statusTop = screen.height;
    frame.height = screen.height + statusLineHeight();
    // The toolkit's canvas draws into a window's pixels; the frame is a window of its own, never opened.
    UgWindow surface;
    surface.width = frame.width;
    surface.height = frame.height;
    surface.pixels.assign(static_cast<size_t>(frame.width) * frame.height, guiColour(kColourPanel));
    std::copy(screen.pixels.begin(), screen.pixels.end(), surface.pixels.begin());
    const int32_t scale = std::max(1, convertWidth(2));
    if (marks.pressed)
        darken(surface.pixels, frame.width, frame.height, *marks.pressed);
    if (marks.hover)
        outline(surface.pixels, frame.width, frame.height, *marks.hover, guiColour(kColourAccent), scale);
    if (marks.focus)
        outline(surface.pixels, frame.width, frame.height, *marks.focus, guiColour(kColourFocus), scale);

    const Canvas canvas{&surface, 0, 0, {0, 0, frame.width - 1, frame.height - 1}};
    const Rect line{0, frame.statusTop, frame.width - 1, frame.height - 1};
    canvas.fill({line.x0, line.y0, line.x1, line.y0}, guiColour(kColourDark));
    const int32_t pad = convertWidth(8), top = line.y0 + (line.height() - fontHeight()) / 2;
    int32_t right = line.x1 - pad;
    for (auto label = marks.buttons.rbegin(); label != marks.buttons.rend(); ++label) {
        const int32_t width = textWidth(*label) + 2 * pad;
        const Rect area{right - width + 1, line.y0 + convertHeight(3), right, line.y1 - convertHeight(3)};
        const bool hovered = marks.hoverButton == static_cast<int32_t>(marks.buttons.rend() - label - 1);
        canvas.fill(area, guiColour(hovered ? kColourSelection : kColourButton));
        canvas.frame(area, guiColour(kColourLight), guiColour(kColourDark), 1);
        drawText(canvas, area.x0 + pad, top, *label, guiColour(hovered ? kColourSelectedText : kColourText));
        frame.buttonAreas.insert(frame.buttonAreas.begin(), area);
        right = area.x0 - pad;
    }
    int32_t x = pad;
    std::u16string status = marks.status; // one line: a question's line breaks become spaces
    std::replace_if(status.begin(), status.end(), [](char16_t c) { return c == u'\n' || c == u'\r'; }, u' ');
    drawText(canvas, x, top, status, guiColour(kColourText), right - x);
    if (marks.typed) {
        x += std::min(textWidth(status), right - x) + pad;
        const Rect well{x, line.y0 + convertHeight(3), right - pad, line.y1 - convertHeight(3)};
        if (!well.empty()) {
            canvas.fill(well, guiColour(kColourListBackground));
            canvas.frame(well, guiColour(kColourDark), guiColour(kColourLight), 1);
            // The end of a long text stays in sight, where the caret is.
            std::u16string_view shown = *marks.typed;
            const int32_t room = well.width() - 2 * pad;
            while (!shown.empty() && textWidth(shown) > room)
                shown.remove_prefix(1);
            drawText(canvas, well.x0 + pad / 2, top, shown, guiColour(kColourText));
            const int32_t caret = well.x0 + pad / 2 + textWidth(shown) + 1;
            canvas.fill({caret, top, caret + std::max(0, scale - 1), top + fontHeight() - 1}, guiColour(kColourText));
        }
    }
    frame.pixels = std::move(surface.pixels);
    return frame;
}

int32_t buttonAt(const Frame& frame, int32_t x, int32_t y)
{
    for (size_t i = 0; i < frame.buttonAreas.size(); ++i) {
        const Rect& r = frame.buttonAreas[i];
        if (x >= r.x0 && x <= r.x1 && y >= r.y0 && y <= r.y1)
            return static_cast<int32_t>(i);
    }
    return -1;
}

} // namespace hx
