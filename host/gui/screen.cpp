// The screen: its configured size and modes, the measures that follow it, refresh and what it shows.
#include "gui/screen.h"

#include "gui/colour.h"
#include "gui/model.h"
#include "runtime/host_state.h"

#include <algorithm>

namespace {

struct Display {
    hx::ScreenConfig config;
    int32_t refreshDepth = 0;
    bool changedWhileOff = false;
    bool stale = true;
    hxhost::Picture visible;
};

Display& display()
{
    static Display d;
    return d;
}

hxhost::Picture compose()
{
    const hx::ScreenConfig& config = display().config;
    hxhost::Picture screen;
    screen.width = config.width;
    screen.height = config.height;
    screen.pixels.assign(static_cast<size_t>(config.width) * config.height, hx::guiColour(hx::kColourDesktop));
    for (const UgWindow* window : hx::openWindows()) {
        for (int32_t row = 0; row < window->height; ++row) {
            const int32_t y = window->y + row;
            if (y < 0 || y >= screen.height)
                continue;
            const int32_t first = std::max(0, -window->x), last = std::min(window->width, screen.width - window->x);
            if (first >= last)
                continue;
            const uint32_t* from = window->pixels.data() + static_cast<size_t>(row) * window->width;
            std::copy(from + first, from + last, screen.pixels.begin() + static_cast<ptrdiff_t>(y) * screen.width + window->x + first);
        }
    }
    return screen;
}

} // namespace

namespace hx {

ScreenConfig& screenConfig()
{
    return display().config;
}

void resetScreen()
{
    display() = Display{};
}

int32_t convertWidth(int32_t units)
{
    return static_cast<int32_t>((static_cast<int64_t>(units) * screenConfig().width + 640) / 1280);
}

int32_t convertHeight(int32_t units)
{
    return static_cast<int32_t>((static_cast<int64_t>(units) * screenConfig().height + 360) / 720);
}

int32_t fontHeight()
{
    return (screenConfig().height + 24) / 48;
}

int32_t addHeight()
{
    return (screenConfig().height + 90) / 180;
}

int32_t rowHeight()
{
    return fontHeight() + addHeight() + 4;
}

int32_t listRowHeight()
{
    const ScreenConfig& config = screenConfig();
    const bool roomy = config.videoMode == 1 || config.monitor == 1 || config.dviMode == 1;
    return fontHeight() + 2 * convertHeight(roomy ? 4 : 2);
}

void screenChanged()
{
    if (display().refreshDepth > 0)
        display().changedWhileOff = true;
    else
        display().stale = true;
}

void disableRefresh()
{
    Display& d = display();
    if (d.refreshDepth++ == 0 && d.stale) {
        d.visible = compose(); // what stays on screen until refresh comes back
        d.stale = false;
    }
}

bool enableRefresh()
{
    Display& d = display();
    if (d.refreshDepth == 0)
        return false;
    if (--d.refreshDepth > 0)
        return false;
    if (d.changedWhileOff)
        d.stale = true;
    d.changedWhileOff = false;
    return true;
}

hxhost::Picture visibleScreen()
{
    Display& d = display();
    if (d.refreshDepth == 0 && d.stale) {
        d.visible = compose();
        d.stale = false;
    }
    return d.visible;
}

} // namespace hx

namespace hxhost {

bool setScreen(int32_t width, int32_t height)
{
    if (width < 640 || height < 480 || width > 8192 || height > 8192)
        return false;
    hx::screenConfig().width = width;
    hx::screenConfig().height = height;
    hx::screenChanged();
    return true;
}

void setDisplayModes(int32_t monitor, int32_t videoMode, int32_t dviMode)
{
    hx::screenConfig().monitor = monitor;
    hx::screenConfig().videoMode = videoMode;
    hx::screenConfig().dviMode = dviMode;
}

Picture screenPicture()
{
    return hx::visibleScreen();
}

Picture windowPicture(const UgWindow* window)
{
    Picture out;
    if (!hx::isLiveWindow(window))
        return out;
    const Picture screen = hx::visibleScreen();
    const int32_t x0 = std::max(0, window->x), y0 = std::max(0, window->y);
    const int32_t x1 = std::min(screen.width, window->x + window->width);
    const int32_t y1 = std::min(screen.height, window->y + window->height);
    if (x1 <= x0 || y1 <= y0)
        return out;
    out.width = x1 - x0;
    out.height = y1 - y0;
    out.pixels.reserve(static_cast<size_t>(out.width) * out.height);
    for (int32_t y = y0; y < y1; ++y)
        out.pixels.insert(out.pixels.end(), screen.pixels.begin() + static_cast<ptrdiff_t>(y) * screen.width + x0,
                          screen.pixels.begin() + static_cast<ptrdiff_t>(y) * screen.width + x1);
    return out;
}

} // namespace hxhost
