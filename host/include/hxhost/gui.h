// The host's screen and the windows of its GUI toolkit, as the host program and the tests see them:
// the screen's size and modes, read access to every window and gadget, pictures and screenshots.
#ifndef HXHOST_GUI_H
#define HXHOST_GUI_H

#include "hxhost/api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct UgWindow;

namespace hxhost {

// The toolkit's measures follow the screen: 1920x1080 after reset(); at least 640x480.
HXHOST_API bool setScreen(int32_t width, int32_t height);
// Monitor 1 is the computer screen (RGB), 2 a video monitor (YUV images are shown unconverted).
HXHOST_API void setDisplayModes(int32_t monitor, int32_t videoMode, int32_t dviMode);

enum class GadgetKind { TextButton, ImageButton, CheckBox, Popup, Slider, ListView, GridView, ClickArea };

struct ItemView {
    uint32_t flags = 0;
    std::u16string text;
    uint32_t user = 0;
    bool hasImage = false;
};

struct GadgetView {
    uint32_t id = 0;
    GadgetKind kind = GadgetKind::TextButton;
    int32_t x = 0, y = 0, width = 0, height = 0; // in the window's own coordinates
    std::u16string text;                         // button text or label
    std::u16string helpText;
    int32_t helpString = -1;
    uint32_t key = 0;
    uint32_t flags = 0;
    int32_t state = 0;                           // check box
    int32_t minimum = 0, maximum = 0, value = 0; // slider
    int32_t selected = -1;                       // popup entry, list row or grid item
    std::vector<ItemView> items;
    bool hasPainter = false;
};

struct WindowView {
    const UgWindow* handle = nullptr;
    std::u16string title;
    std::u16string secondText;
    uint32_t flags = 0;
    int32_t x = 0, y = 0, width = 0, height = 0; // outer frame on the screen
    int32_t contentX = 0, contentY = 0;          // where the program's coordinates start, on the screen
    uint32_t okGadget = 0, cancelGadget = 0;
    std::vector<GadgetView> gadgets;
};

// Every open window, bottom to top.
HXHOST_API std::vector<WindowView> windows();
HXHOST_API std::optional<GadgetView> gadget(uint32_t id);

// RGB pixels 0x00RRGGBB, rows without gaps.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The screen as shown: while refresh is off, as it was when refresh was last on.
HXHOST_API Picture screenPicture();
// One window's part of the screen; empty when it is not open.
HXHOST_API Picture windowPicture(const UgWindow* window);
// PNG files, replaced atomically. A null window saves the whole screen.
HXHOST_API bool saveScreenshot(const std::string& path, const UgWindow* window = nullptr, std::string* error = nullptr);

} // namespace hxhost

#endif
