// A window of the desktop that shows one picture, scaled to fit and sharp on high-density screens,
// and hands on the desktop's input events. The window itself is the window module's
// (libhx_window.so, with SDL2), loaded when the first window opens; its events arrive as SDL records.
#ifndef HX_USER_DESKTOP_WINDOW_H
#define HX_USER_DESKTOP_WINDOW_H

#include "hxhost/window.h"
#include "runtime/module_loader.h"

#include <SDL_events.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hx {

class DesktopWindow {
public:
    // Opens a window for pictures of the given size; null, with the reason, without a desktop or
    // without the window module.
    static std::unique_ptr<DesktopWindow> open(const hxhost::WindowOptions& options, int32_t pictureWidth,
                                               int32_t pictureHeight, std::string& error);
    virtual ~DesktopWindow() = default;
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // Shows 0x00RRGGBB pixels, scaled with the host's filter to the window's drawable pixels.
    void show(const std::vector<uint32_t>& pixels, int32_t width, int32_t height);
    // The picture pixel under a point of the window (desktop points, as pointer events give them).
    bool toPicture(int32_t windowX, int32_t windowY, int32_t& pictureX, int32_t& pictureY) const;

    // The next event for this window; false when none came within `timeoutMs` (0: do not wait). A quit
    // event once the display has gone, or once the window was asked to close and the events that came
    // before are taken.
    bool nextEvent(SDL_Event& event, int32_t timeoutMs);
    virtual uint32_t id() const = 0;
    // Where the pointer is, in desktop points of the window.
    virtual void pointer(int32_t& windowX, int32_t& windowY) const = 0;
    // Typed text comes as text events while this is on.
    virtual void takeText(bool on) = 0;

protected:
    DesktopWindow(int32_t pictureWidth, int32_t pictureHeight)
        : pictureWidth_(pictureWidth), pictureHeight_(pictureHeight)
    {
    }
    virtual bool waitEvent(SDL_Event& event, int32_t timeoutMs) = 0;
    // The display went away (the X server ended, the connection dropped): nothing may touch it again.
    virtual bool displayLost() const = 0;
    // The window's size in desktop points, and in drawable pixels.
    virtual void size(int32_t& width, int32_t& height) const = 0;
    virtual void drawableSize(int32_t& width, int32_t& height) const = 0;
    // Shows pixels of `view`'s size at `view`'s place, the rest of the window black.
    virtual void present(const uint32_t* pixels, const hxhost::ViewRect& view) = 0;

private:
    int32_t pictureWidth_ = 0, pictureHeight_ = 0;
    std::vector<uint32_t> scaled_;
};

struct WindowModule {
    static constexpr const char* kLibrary = "libhx_window.so";
    static constexpr const char* kSymbol = "hxWindowModule";
    static constexpr const char* kPurpose = "the desktop window";

    std::unique_ptr<DesktopWindow> (*open)(const hxhost::WindowOptions& options, int32_t pictureWidth,
                                           int32_t pictureHeight, std::string& error);
};

} // namespace hx

HX_MODULE_TABLE const hx::WindowModule hxWindowModule;

#endif
