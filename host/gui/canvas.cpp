// Drawing primitives on a window's pixels, clipped, and the toolkit's current drawing target.
#include "gui/canvas.h"

#include "gui/colour.h"
#include "gui/model.h"
#include "gui/screen.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::optional<hx::Canvas>& currentTarget()
{
    static std::optional<hx::Canvas> target;
    return target;
}

} // namespace

namespace hx {

Rect Rect::intersect(const Rect& other) const
{
    return {std::max(x0, other.x0), std::max(y0, other.y0), std::min(x1, other.x1), std::min(y1, other.y1)};
}

void Canvas::put(int32_t x, int32_t y, uint32_t rgb) const
{
    x += originX;
    y += originY;
    if (x < clip.x0 || x > clip.x1 || y < clip.y0 || y > clip.y1)
        return;
    window->pixels[static_cast<size_t>(y) * window->width + x] = rgb & 0xFFFFFF;
}

void Canvas::blend(int32_t x, int32_t y, uint32_t argb) const
{
    x += originX;
    y += originY;
    if (x < clip.x0 || x > clip.x1 || y < clip.y0 || y > clip.y1)
        return;
    uint32_t& pixel = window->pixels[static_cast<size_t>(y) * window->width + x];
    pixel = blendArgb(pixel, argb);
}

void Canvas::fill(Rect area, uint32_t rgb) const
{
    const Rect r = Rect{area.x0 + originX, area.y0 + originY, area.x1 + originX, area.y1 + originY}.intersect(clip);
    for (int32_t y = r.y0; y <= r.y1; ++y) {
        uint32_t* row = window->pixels.data() + static_cast<size_t>(y) * window->width;
        std::fill(row + r.x0, row + r.x1 + 1, rgb & 0xFFFFFF);
    }
}

void Canvas::frame(Rect area, uint32_t topLeft, uint32_t bottomRight, int32_t thickness) const
{
    for (int32_t i = 0; i < thickness; ++i) {
        const Rect r{area.x0 + i, area.y0 + i, area.x1 - i, area.y1 - i};
        if (r.empty())
            return;
        fill({r.x0, r.y0, r.x1, r.y0}, topLeft);
        fill({r.x0, r.y0, r.x0, r.y1}, topLeft);
        fill({r.x0, r.y1, r.x1, r.y1}, bottomRight);
        fill({r.x1, r.y0, r.x1, r.y1}, bottomRight);
    }
}

void Canvas::line(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t thickness, uint32_t rgb) const
{
    const int32_t steps = std::max(std::abs(xb - xa), std::abs(yb - ya));
    const int32_t half = thickness / 2;
    for (int32_t i = 0; i <= steps; ++i) {
        const int32_t x = steps ? xa + (xb - xa) * i / steps : xa, y = steps ? ya + (yb - ya) * i / steps : ya;
        fill({x - half, y - half, x - half + thickness - 1, y - half + thickness - 1}, rgb);
    }
}

Canvas Canvas::clipped(Rect area) const
{
    Canvas out = *this;
    out.clip = clip.intersect({area.x0 + originX, area.y0 + originY, area.x1 + originX, area.y1 + originY});
    return out;
}

Canvas windowCanvas(UgWindow* window)
{
    return Canvas{window, 0, 0, {0, 0, window->width - 1, window->height - 1}};
}

Canvas contentCanvas(UgWindow* window)
{
    return Canvas{window, window->contentX, window->contentY,
                  {window->contentX, window->contentY, window->contentX + window->contentWidth - 1,
                   window->contentY + window->contentHeight - 1}};
}

std::optional<Canvas> drawingTarget(UgWindow* window)
{
    if (window)
        return isLiveWindow(window) ? std::optional<Canvas>(contentCanvas(window)) : std::nullopt;
    return currentTarget();
}

void setCurrentTarget(std::optional<Canvas> target)
{
    currentTarget() = target;
}

void forgetWindowTarget(const UgWindow* window)
{
    if (currentTarget() && currentTarget()->window == window)
        currentTarget().reset();
}

} // namespace hx
