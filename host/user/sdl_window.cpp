// The window module: the desktop window through SDL, one streaming texture of the shown picture's
// size, drawn where the picture fits.
#include "user/desktop_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

// Once the display has gone (the X server ended, the connection dropped) nothing may touch it again.
std::atomic<bool> displayGone{false};

// When a connection breaks, Xlib's I/O error handler and then the connection's exit handler would end
// the process; both only take note instead, so that the session ends as Close ends it. The window's
// own connection has its exit handler from the start; SDL's others get theirs as they report.
extern "C" void noteLostDisplay(Display*, void*)
{
    displayGone = true;
}

extern "C" int reportLostDisplay(Display* display)
{
    XSetIOErrorExitHandler(display, noteLostDisplay, nullptr);
    if (!displayGone.exchange(true))
        std::fputs("the desktop window's display has gone: the window closes\n", stderr);
    return 0;
}

class SdlWindow final : public hx::DesktopWindow {
public:
    SdlWindow(int32_t pictureWidth, int32_t pictureHeight) : DesktopWindow(pictureWidth, pictureHeight) {}

    ~SdlWindow() override
    {
        if (displayGone)
            return; // what SDL holds goes with the process; freeing it would talk to the display
        if (texture_)
            SDL_DestroyTexture(texture_);
        if (renderer_)
            SDL_DestroyRenderer(renderer_);
        if (window_)
            SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }

    bool open(const hxhost::WindowOptions& options, int32_t pictureWidth, int32_t pictureHeight, std::string& error)
    {
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
        window_ = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                   SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
        if (window_)
            renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (window_ && !renderer_)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            error = std::string("cannot open the window: ") + SDL_GetError();
            return false;
        }
        watchDisplay();
        // Shown only now: a renderer may have to make the window anew, and the desktop sees just the one.
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_); // the keyboard's focus, where no window manager gives it
        return true;
    }

    bool waitEvent(SDL_Event& event, int32_t timeoutMs) override
    {
        return timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) == 1 : SDL_PollEvent(&event) == 1;
    }

    uint32_t id() const override { return SDL_GetWindowID(window_); }

    void pointer(int32_t& windowX, int32_t& windowY) const override
    {
        if (!displayGone)
            SDL_GetMouseState(&windowX, &windowY);
    }

    void takeText(bool on) override
    {
        if (displayGone)
            return;
        if (on)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }

private:
    bool displayLost() const override { return displayGone; }

    void size(int32_t& width, int32_t& height) const override
    {
        if (!displayGone)
            SDL_GetWindowSize(window_, &width, &height);
    }

    void drawableSize(int32_t& width, int32_t& height) const override
    {
        if (!displayGone)
            SDL_GetRendererOutputSize(renderer_, &width, &height);
    }

    void watchDisplay()
    {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11)
            return;
        XSetIOErrorHandler(reportLostDisplay);
        XSetIOErrorExitHandler(info.info.x11.display, noteLostDisplay, nullptr);
    }

    void present(const uint32_t* pixels, const hxhost::ViewRect& view) override
    {
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
        SDL_UpdateTexture(texture_, nullptr, pixels, view.width * 4);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        const SDL_Rect target{view.x, view.y, view.width, view.height};
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int32_t textureWidth_ = 0, textureHeight_ = 0;
};

std::unique_ptr<hx::DesktopWindow> openWindow(const hxhost::WindowOptions& options, int32_t pictureWidth,
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
    auto window = std::make_unique<SdlWindow>(pictureWidth, pictureHeight);
    if (!window->open(options, pictureWidth, pictureHeight, error))
        return nullptr; // the destructor closes what was opened
    return window;
}

} // namespace

HX_MODULE_TABLE const hx::WindowModule hxWindowModule = {openWindow};
