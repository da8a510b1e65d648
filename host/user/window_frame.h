// What the desktop window shows: the host screen with the pointer's and the keyboard's marks over it,
// and a status line below it with a message, a typed text and answer buttons.
#ifndef HX_USER_WINDOW_FRAME_H
#define HX_USER_WINDOW_FRAME_H

#include "gui/canvas.h"
#include "hxhost/gui.h"

#include <optional>
#include <string>
#include <vector>

namespace hx {

struct FrameMarks {
    std::optional<Rect> hover;   // the gadget under the pointer, screen pixels
    std::optional<Rect> pressed; // a button held down
    std::optional<Rect> focus;   // the gadget keys go to
    std::u16string status;
    std::optional<std::u16string> typed; // a text being typed, shown with a caret
    std::vector<std::u16string> buttons; // answers, right-aligned
    int32_t hoverButton = -1;
};

struct Frame {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
    int32_t statusTop = 0;          // the status line starts below the screen
    std::vector<Rect> buttonAreas;  // where the answer buttons are, frame pixels
};

// The status line's height for the current screen.
int32_t statusLineHeight();
Frame composeFrame(const hxhost::Picture& screen, const FrameMarks& marks);
// The answer button under a frame point, or -1.
int32_t buttonAt(const Frame& frame, int32_t x, int32_t y);

} // namespace hx

#endif
