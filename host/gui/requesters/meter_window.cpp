#include "gui/requesters/meter_window.h"

#include "gui/colour.h"
#include "gui/font.h"
#include "gui/screen.h"

#include <algorithm>

namespace hx {

namespace {

int32_t margin()
{
    return convertWidth(16);
}

int32_t barHeight()
{
    return rowHeight();
}

// The bar's frame in content coordinates.
Rect barArea(const UgWindow& window)
{
    return {margin(), margin(), window.contentWidth - 1 - margin(), margin() + barHeight() - 1};
}

} // namespace

MeterWindow::MeterWindow(const std::u16string& title, uint32_t steps)
    : shown_(title.empty() ? u"Working" : title, std::max(convertWidth(420), textWidth(title) + 2 * margin()),
             2 * margin() + barHeight() + convertHeight(6) + fontHeight() + modalButtonHeight() + convertWidth(6)),
      steps_(steps)
{
    shown_.addButtons({u"Stop"}, -1, 0);
    show(0);
}

void MeterWindow::show(int32_t done)
{
    if (!shown_.open())
        return;
    const UgWindow& window = *shown_.window();
    const Rect bar = barArea(window);
    const Rect inside{bar.x0 + 2, bar.y0 + 2, bar.x1 - 2, bar.y1 - 2};
    const int64_t clamped = std::clamp<int64_t>(done, 0, steps_);
    const int32_t filled = steps_ == 0 ? 0 : static_cast<int32_t>(clamped * inside.width() / steps_);
    if (filled == filled_ && done == done_)
        return;
    const Canvas canvas = shown_.canvas();
    canvas.fill(inside, guiColour(kColourTrack));
    if (filled > 0)
        canvas.fill({inside.x0, inside.y0, inside.x0 + filled - 1, inside.y1}, guiColour(kColourAccent));
    canvas.frame(bar, guiColour(kColourDark), guiColour(kColourLight), 2);
    const int32_t countTop = bar.y1 + 1 + convertHeight(6);
    canvas.fill({0, countTop, window.contentWidth - 1, countTop + fontHeight()}, guiColour(kColourWindow));
    const std::string count = std::to_string(clamped) + " / " + std::to_string(steps_);
    drawText(canvas, margin(), countTop, std::u16string(count.begin(), count.end()), guiColour(kColourText));
    filled_ = filled;
    done_ = done;
    shown_.shown();
}

} // namespace hx
