// A window of the desktop that shows one picture, scaled to fit and sharp on high-density screens,
// and hands on the desktop's input events.
#ifndef HX_USER_DESKTOP_WINDOW_H
#define HX_USER_DESKTOP_WINDOW_H

#include "hxhost/window.h"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hx {

class DesktopWindow {
public:
    // Opens a window for pictures of the given size; null, with the reason, without a desktop.
    static std::unique_ptr<DesktopWindow> open(const hxhost::WindowOptions& options, int32_t pictureWidth,
                                               int32_t pictureHeight, std::string& error);
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // Shows 0x00RRGGBB pixels, scaled with the host's filter to the window's drawable pixels.
    void show(const std::vector<uint32_t>& pixels, int32_t width, int32_t height);
    // The picture pixel under a point of the window (desktop points, as pointer events give them).
    bool toPicture(int32_t windowX, int32_t windowY, int32_t& pictureX, int32_t& pictureY) const;
    // The next event for this window; false when none came within `timeoutMs` (0: do not wait).
    bool nextEvent(SDL_Event& event, int32_t timeoutMs);
    uint32_t id() const { return SDL_GetWindowID(window_); }

private:
    DesktopWindow() = default;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int32_t textureWidth_ = 0, textureHeight_ = 0;
    int32_t pictureWidth_ = 0, pictureHeight_ = 0;
    std::vector<uint32_t> scaled_;
};

} // namespace hx

#endif
