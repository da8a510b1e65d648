// A person's pointer on the toolkit's windows: presses, clicks, double clicks, drags and the wheel
// become the user's actions, as the toolkit's gadgets answer a pointer.
#ifndef HX_USER_POINTER_GESTURES_H
#define HX_USER_POINTER_GESTURES_H

#include "gui/canvas.h"
#include "hxhost/user.h"

#include <optional>

struct UgWindow;

namespace hx {

class PointerGestures {
public:
    // Screen pixels. `clicks` is 2 for the second press of a double click.
    std::optional<hxhost::UserAction> press(int32_t x, int32_t y, int32_t button, int32_t clicks);
    std::optional<hxhost::UserAction> move(int32_t x, int32_t y);
    std::optional<hxhost::UserAction> release(int32_t x, int32_t y);
    // Whole notches, positive away from the person; lists and grids scroll by themselves.
    std::optional<hxhost::UserAction> wheel(int32_t x, int32_t y, int32_t notches);
    // A button held down under the pointer, to be drawn pressed.
    std::optional<Rect> pressedArea() const;
    bool dragging() const { return held_ && held_->dragging; }
    // Forgets a press, as when the window loses the pointer.
    void cancel() { held_.reset(); }

private:
    struct Held {
        UgWindow* window = nullptr;
        uint32_t gadget = 0;
        int32_t item = -1;
        int32_t x = 0, y = 0;
        int32_t lastValue = 0;
        bool dragging = false;
    };
    std::optional<Held> held_;
};

} // namespace hx

#endif
