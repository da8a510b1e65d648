// Pointer positions through the window's scale, and desktop keys as the toolkit's key codes.
#include "hxhost/window.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <cmath>

namespace hxhost {

ViewRect fitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight, bool noEnlarging)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return {};
    double scale = std::min(static_cast<double>(areaWidth) / pictureWidth, static_cast<double>(areaHeight) / pictureHeight);
    if (noEnlarging)
        scale = std::min(scale, 1.0);
    ViewRect view;
    view.width = std::clamp(static_cast<int32_t>(std::lround(pictureWidth * scale)), 1, areaWidth);
    view.height = std::clamp(static_cast<int32_t>(std::lround(pictureHeight * scale)), 1, areaHeight);
    view.x = (areaWidth - view.width) / 2;
    view.y = (areaHeight - view.height) / 2;
    return view;
}

bool areaToPicture(const ViewRect& view, int32_t pictureWidth, int32_t pictureHeight, int32_t areaX, int32_t areaY,
                   int32_t& pictureX, int32_t& pictureY)
{
    if (view.width <= 0 || view.height <= 0 || areaX < view.x || areaY < view.y || areaX >= view.x + view.width ||
        areaY >= view.y + view.height)
        return false;
    pictureX = static_cast<int32_t>(static_cast<int64_t>(areaX - view.x) * pictureWidth / view.width);
    pictureY = static_cast<int32_t>(static_cast<int64_t>(areaY - view.y) * pictureHeight / view.height);
    return true;
}

void pictureToArea(const ViewRect& view, int32_t pictureWidth, int32_t pictureHeight, int32_t pictureX,
                   int32_t pictureY, int32_t& areaX, int32_t& areaY)
{
    const int64_t w = std::max(1, pictureWidth), h = std::max(1, pictureHeight);
    areaX = view.x + static_cast<int32_t>((2 * static_cast<int64_t>(pictureX) + 1) * view.width / (2 * w));
    areaY = view.y + static_cast<int32_t>((2 * static_cast<int64_t>(pictureY) + 1) * view.height / (2 * h));
}

uint32_t toolkitKey(int32_t symbol, uint16_t modifiers)
{
    uint32_t code = 0;
    switch (symbol) {
    case SDLK_BACKSPACE: code = kKeyBackspace; break;
    case SDLK_DELETE: code = kKeyDelete; break;
    case SDLK_UP: code = kKeyUp; break;
    case SDLK_DOWN: code = kKeyDown; break;
    case SDLK_LEFT: code = kKeyLeft; break;
    case SDLK_RIGHT: code = kKeyRight; break;
    case SDLK_PAGEUP: code = kKeyPageUp; break;
    case SDLK_PAGEDOWN: code = kKeyPageDown; break;
    case SDLK_INSERT: code = kKeyInsert; break;
    case SDLK_HOME: code = kKeyHome; break;
    case SDLK_END: code = kKeyEnd; break;
    case SDLK_ESCAPE: code = kKeyEscape; break;
    case SDLK_F1: code = kKeyHelp; break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: code = '\r'; break;
    default:
        if (symbol >= SDLK_KP_1 && symbol <= SDLK_KP_9)
            code = static_cast<uint32_t>('1' + (symbol - SDLK_KP_1));
        else if (symbol == SDLK_KP_0)
            code = '0';
        else if (symbol >= ' ' && symbol <= '~')
            code = static_cast<uint32_t>(symbol);
        break;
    }
    if (code == 0)
        return 0;
    if ((modifiers & KMOD_SHIFT) && code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    if (modifiers & KMOD_CTRL)
        code |= kKeyCtrl;
    if (modifiers & KMOD_ALT)
        code |= kKeyAlt;
    return code;
}

} // namespace hxhost
