#include "user/crop_gesture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hx {

namespace {

// One side of a rectangle from a fixed edge towards the pointer, at least `minimum` long and on the
// picture when it fits: its start and length.
std::pair<int32_t, int32_t> side(int32_t fixed, int32_t pointer, int32_t minimum, int32_t limit)
{
    const int32_t length = std::max(minimum, std::abs(pointer - fixed));
    int32_t start = pointer < fixed ? fixed - length : fixed;
    if (length <= limit)
        start = std::clamp(start, 0, limit - length);
    return {start, length};
}

} // namespace

std::pair<int32_t, int32_t> CropGesture::toPicture(int32_t x, int32_t y) const
{
    const Rect& shown = picture_.onScreen;
    const double px = static_cast<double>(x - shown.x0) * picture_.width / std::max(1, shown.width());
    const double py = static_cast<double>(y - shown.y0) * picture_.height / std::max(1, shown.height());
    return {std::clamp(static_cast<int32_t>(std::lround(px)), 0, picture_.width),
            std::clamp(static_cast<int32_t>(std::lround(py)), 0, picture_.height)};
}

bool CropGesture::press(int32_t x, int32_t y, const CropRectangle& current)
{
    const Rect& shown = picture_.onScreen;
    if (x < shown.x0 || x > shown.x1 || y < shown.y0 || y > shown.y1 || picture_.width <= 0 || picture_.height <= 0)
        return false;
    const double scaleX = static_cast<double>(shown.width()) / picture_.width;
    const double scaleY = static_cast<double>(shown.height()) / picture_.height;
    const auto [px, py] = toPicture(x, y);
    Held held;
    held.pressX = px;
    held.pressY = py;
    held.start = current;
    // The corner nearest the point, when it is within reach: the opposite one stays.
    const int32_t left = current.x, top = current.y, right = current.x + current.width, bottom = current.y + current.height;
    double nearest = picture_.cornerReach + 1.0;
    for (const auto& [cx, cy] : {std::pair{left, top}, std::pair{right, top}, std::pair{left, bottom}, std::pair{right, bottom}}) {
        const double distance = std::hypot(shown.x0 + cx * scaleX - x, shown.y0 + cy * scaleY - y);
        if (distance < nearest) {
            nearest = distance;
            held.fixedX = cx == left ? right : left;
            held.fixedY = cy == top ? bottom : top;
        }
    }
    if (nearest > picture_.cornerReach) {
        // A rectangle over the whole picture has nowhere to go: a drag in it draws a new one.
        const bool inside = px >= left && px < right && py >= top && py < bottom;
        const bool canMove = current.width < picture_.width || current.height < picture_.height;
        held.moving = inside && canMove;
        held.fixedX = px;
        held.fixedY = py;
    }
    held_ = held;
    return true;
}

CropRectangle CropGesture::move(int32_t x, int32_t y) const
{
    if (!held_)
        return {};
    const auto [px, py] = toPicture(x, y);
    if (held_->moving) {
        CropRectangle moved = held_->start;
        moved.x += px - held_->pressX;
        moved.y += py - held_->pressY;
        if (moved.width <= picture_.width)
            moved.x = std::clamp(moved.x, 0, picture_.width - moved.width);
        if (moved.height <= picture_.height)
            moved.y = std::clamp(moved.y, 0, picture_.height - moved.height);
        return moved;
    }
    const auto [sx, w] = side(held_->fixedX, px, picture_.minimumWidth, picture_.width);
    const auto [sy, h] = side(held_->fixedY, py, picture_.minimumHeight, picture_.height);
    return {sx, sy, w, h};
}

} // namespace hx
