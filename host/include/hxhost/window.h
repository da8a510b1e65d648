// The desktop window: the host screen shown in a window of the desktop, and the person at its mouse
// and keyboard as the host's user. The toolkit keeps drawing into its own screen; the window shows
// it scaled to fit, with a status line below it, and turns pointer and keys into the same actions and
// requester answers a session script gives.
#ifndef HXHOST_WINDOW_H
#define HXHOST_WINDOW_H

#include "hxhost/api.h"
#include "hxhost/user.h"

#include <cstdint>
#include <memory>
#include <string>

namespace hxhost {

// A rectangle of the window (or of its drawable pixels) that shows a picture.
struct ViewRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ViewRect&) const = default;
};

// The largest rectangle of the picture's proportions inside the area, centred; the picture's own size
// when `noEnlarging` and it fits, so that a window as large as the screen shows it pixel for pixel.
HXHOST_API ViewRect fitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t areaWidth, int32_t areaHeight,
                               bool noEnlarging = false);
// The picture pixel under a point of the area; false when the point lies outside the picture.
HXHOST_API bool areaToPicture(const ViewRect& view, int32_t pictureWidth, int32_t pictureHeight, int32_t areaX,
                              int32_t areaY, int32_t& pictureX, int32_t& pictureY);
// The point of the area that shows the middle of a picture pixel.
HXHOST_API void pictureToArea(const ViewRect& view, int32_t pictureWidth, int32_t pictureHeight, int32_t pictureX,
                              int32_t pictureY, int32_t& areaX, int32_t& areaY);

// The toolkit's key codes. A printable key is its character; Ctrl adds 0x40000000 and Alt adds
// 0x80000000; special keys are 0xE0nn.
enum ToolkitKey : uint32_t {
    kKeyCtrl = 0x40000000,
    kKeyAlt = 0x80000000,
    kKeyBackspace = 0xE001,
    kKeyDelete = 0xE002,
    kKeyUp = 0xE003,
    kKeyDown = 0xE004,
    kKeyLeft = 0xE005,
    kKeyRight = 0xE006,
    kKeyPageUp = 0xE007,
    kKeyPageDown = 0xE008,
    kKeyInsert = 0xE009,
    kKeyHome = 0xE00A,
    kKeyEnd = 0xE00B,
    kKeyEscape = 0xE011,
    kKeyHelp = 0xE012 // F1
};
// The toolkit key code of a desktop key (an SDL key symbol with its modifier state); 0 for keys the
// toolkit has no code for, such as a modifier alone.
HXHOST_API uint32_t toolkitKey(int32_t symbol, uint16_t modifiers);

// Where a grid's cell or a list's row is shown on the host screen; false when it is scrolled out of
// sight or there is no such gadget or item.
HXHOST_API bool itemOnScreen(uint32_t gadget, int32_t item, ViewRect& area);

// The height of the status line the window shows below the host screen, in screen pixels.
HXHOST_API int32_t windowStatusLineHeight();

struct WindowOptions {
    std::string title = "stillset";
    // The window's size in desktop points; 0: the host screen fitted to the desktop's usable area.
    int32_t width = 0, height = 0;
};

// Opens the window and returns the user behind it, to be given to setUser(). The window closes when
// the last reference goes. Null, with the reason, when no desktop can be reached.
HXHOST_API std::shared_ptr<User> openWindowUser(const WindowOptions& options, std::string* error = nullptr);

// Closes every desktop window of the process as its close box does, now and when one opens later, so
// the session ends as Close ends it; from any thread (a signal's).
HXHOST_API void requestWindowClose();

} // namespace hxhost

#endif
