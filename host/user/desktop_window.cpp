// The desktop window through SDL: one streaming texture of the window's drawable size, filled by the
// host's own area-averaging scaler so text stays sharp at any scale.
#include "user/desktop_window.h"

#include "image/scaling.h"

#include <algorithm>
#include <string>

namespace hx {

std::unique_ptr<DesktopWindow> DesktopWindow::open(const hxhost::WindowOptions& options, int32_t pictureWidth,
                                                   int32_t pictureHeight, std::string& error)
{
    // The click that gives the window the focus acts too, even when it waited in the queue with the focus change.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no desktop to open a window on: ") + SDL_GetError();
        return nullptr;
    }
    // Without a desktop SDL falls back to drivers that show nothing: a window there would wait for
    // a person who can never see it.
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver.empty() || driver == "offscreen" || driver == "dummy" || driver == "evdev") {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        error = "no desktop to open a window on (set DISPLAY or WAYLAND_DISPLAY)";
        return nullptr;
    }
    std::unique_ptr<DesktopWindow> shown(new DesktopWindow);
    shown->pictureWidth_ = pictureWidth;
    shown->pictureHeight_ = pictureHeight;
    int32_t width = options.width, height = options.height;
    if (width <= 0 || height <= 0) {
        SDL_Rect usable{0, 0, pictureWidth, pictureHeight};
        SDL_GetDisplayUsableBounds(0, &usable);
        // Room for the window manager's frame; a desktop large enough shows the screen pixel for pixel.
        const hxhost::ViewRect fitted =
            hxhost::fitPicture(pictureWidth, pictureHeight, usable.w * 19 / 20, usable.h * 19 / 20, true);
        width = fitted.width;
        height = fitted.height;
    }
    shown->window_ = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                      height, SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (shown->window_)
        shown->renderer_ = SDL_CreateRenderer(shown->window_, -1, 0);
    if (shown->window_ && !shown->renderer_)
        shown->renderer_ = SDL_CreateRenderer(shown->window_, -1, SDL_RENDERER_SOFTWARE);
    if (!shown->renderer_) {
        error = std::string("cannot open the window: ") + SDL_GetError();
        return nullptr; // the destructor closes what was opened
    }
    // Shown only now: a renderer may have to make the window anew, and the desktop sees just the one.
    SDL_ShowWindow(shown->window_);
    SDL_RaiseWindow(shown->window_); // the keyboard's focus, where no window manager gives it
    return shown;
}

DesktopWindow::~DesktopWindow()
{
    if (texture_)
        SDL_DestroyTexture(texture_);
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    if (window_)
        SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

void DesktopWindow::show(const std::vector<uint32_t>& pixels, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return;
    pictureWidth_ = width;
    pictureHeight_ = height;
    int32_t drawableWidth = 0, drawableHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &drawableWidth, &drawableHeight);
    const hxhost::ViewRect view = hxhost::fitPicture(width, height, drawableWidth, drawableHeight);
    if (view.width <= 0 || view.height <= 0)
        return;
    if (!texture_ || textureWidth_ != view.width || textureHeight_ != view.height) {
        if (texture_)
            SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, view.width,
                                     view.height);
        textureWidth_ = view.width;
        textureHeight_ = view.height;
        if (!texture_)
            return;
    }
    const uint32_t* shownPixels = pixels.data();
    if (view.width != width || view.height != height) {
        scaled_.resize(static_cast<size_t>(view.width) * view.height);
        scaleFourBytePixels(reinterpret_cast<const uint8_t*>(pixels.data()), width, height,
                            reinterpret_cast<uint8_t*>(scaled_.data()), view.width, view.height);
        shownPixels = scaled_.data();
    }
    SDL_UpdateTexture(texture_, nullptr, shownPixels, view.width * 4);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{view.x, view.y, view.width, view.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
}

bool DesktopWindow::toPicture(int32_t windowX, int32_t windowY, int32_t& pictureX, int32_t& pictureY) const
{
    int32_t width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    const hxhost::ViewRect view = hxhost::fitPicture(pictureWidth_, pictureHeight_, width, height);
    return hxhost::areaToPicture(view, pictureWidth_, pictureHeight_, windowX, windowY, pictureX, pictureY);
}

bool DesktopWindow::nextEvent(SDL_Event& event, int32_t timeoutMs)
{
    return timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) == 1 : SDL_PollEvent(&event) == 1;
}

} // namespace hx
