// The desktop window's pictures, filled by the host's own area-averaging scaler so text stays sharp
// at any scale, and its points mapped back to the picture.
#include "user/desktop_window.h"

#include "image/scaling.h"

#include <atomic>

namespace hx {

namespace {

std::atomic<bool> closeRequested{false};

} // namespace

std::unique_ptr<DesktopWindow> DesktopWindow::open(const hxhost::WindowOptions& options, int32_t pictureWidth,
                                                   int32_t pictureHeight, std::string& error)
{
    const WindowModule* module = moduleTable<WindowModule>(&error);
    return module ? module->open(options, pictureWidth, pictureHeight, error) : nullptr;
}

bool DesktopWindow::nextEvent(SDL_Event& event, int32_t timeoutMs)
{
    if (!displayLost() && !closeRequested)
        return waitEvent(event, timeoutMs);
    // What the person did before the window was asked to close still counts.
    if (!displayLost() && waitEvent(event, 0))
        return true;
    event = {};
    event.type = SDL_QUIT;
    return true;
}

void DesktopWindow::show(const std::vector<uint32_t>& pixels, int32_t width, int32_t height)
{
    if (displayLost() || width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return;
    pictureWidth_ = width;
    pictureHeight_ = height;
    int32_t drawableWidth = 0, drawableHeight = 0;
    drawableSize(drawableWidth, drawableHeight);
    const hxhost::ViewRect view = hxhost::fitPicture(width, height, drawableWidth, drawableHeight);
    if (view.width <= 0 || view.height <= 0)
        return;
    const uint32_t* shownPixels = pixels.data();
    if (view.width != width || view.height != height) {
        scaled_.resize(static_cast<size_t>(view.width) * view.height);
        scaleFourBytePixels(reinterpret_cast<const uint8_t*>(pixels.data()), width, height,
                            reinterpret_cast<uint8_t*>(scaled_.data()), view.width, view.height);
        shownPixels = scaled_.data();
    }
    present(shownPixels, view);
}

bool DesktopWindow::toPicture(int32_t windowX, int32_t windowY, int32_t& pictureX, int32_t& pictureY) const
{
    int32_t width = 0, height = 0;
    size(width, height);
    const hxhost::ViewRect view = hxhost::fitPicture(pictureWidth_, pictureHeight_, width, height);
    return hxhost::areaToPicture(view, pictureWidth_, pictureHeight_, windowX, windowY, pictureX, pictureY);
}

} // namespace hx

namespace hxhost {

void requestWindowClose()
{
    hx::closeRequested = true;
}

} // namespace hxhost
