// Turning pointer events into the user's actions. Buttons act when released over themselves, lists
// and grids select on the press, sliders follow the pointer, and a grid item carried further than
// a few pixels is dropped where the pointer is released.
#include "user/pointer_gestures.h"

#include "gui/hit_test.h"
#include "gui/screen.h"

#include <algorithm>
#include <cstdlib>

namespace {

using hx::GadgetKind;
using hxhost::ActionKind;
using hxhost::UserAction;

UserAction on(const hx::Gadget& gadget, ActionKind kind, int32_t value = 0)
{
    UserAction action;
    action.kind = kind;
    action.gadget.id = gadget.id;
    action.value = value;
    return action;
}

bool isButtonLike(GadgetKind kind)
{
    return kind == GadgetKind::TextButton || kind == GadgetKind::ImageButton || kind == GadgetKind::ClickArea ||
           kind == GadgetKind::CheckBox;
}

bool canDrag(const hx::Gadget& grid)
{
    return grid.kind == GadgetKind::GridView && (grid.flags & hx::kGridDragAndDrop) == hx::kGridDragAndDrop;
}

} // namespace

namespace hx {

std::optional<hxhost::UserAction> PointerGestures::press(int32_t x, int32_t y, int32_t button, int32_t clicks)
{
    held_.reset();
    const Hit hit = hitAt(x, y);
    if (!hit.gadget)
        return std::nullopt;
    Gadget& g = *hit.gadget;
    const int32_t count = static_cast<int32_t>(g.items.size());
    if (g.kind == GadgetKind::Popup) {
        // A popup steps through its entries: forwards with the left button, back with the right.
        if (count == 0)
            return std::nullopt;
        const int32_t step = button == 3 ? count - 1 : 1;
        return on(g, ActionKind::Choose, (std::max(g.selected, 0) + step) % count);
    }
    if (button != 1)
        return std::nullopt;
    held_ = Held{hit.window, g.id, hit.item, x, y, g.value, false};
    if (g.kind == GadgetKind::Slider) {
        const int32_t value = sliderValueAt(*hit.window, g, x);
        held_->lastValue = value;
        return value == g.value ? std::nullopt : std::optional<UserAction>(on(g, ActionKind::Slide, value));
    }
    if ((g.kind == GadgetKind::GridView || g.kind == GadgetKind::ListView) && hit.item >= 0)
        return on(g, clicks >= 2 ? ActionKind::DoubleClick : ActionKind::Select, hit.item);
    return std::nullopt;
}

std::optional<hxhost::UserAction> PointerGestures::move(int32_t x, int32_t y)
{
    if (!held_ || !isLiveWindow(held_->window))
        return std::nullopt;
    Gadget* g = findGadget(held_->window, held_->gadget);
    if (!g)
        return std::nullopt;
    if (g->kind == GadgetKind::Slider) {
        const int32_t value = sliderValueAt(*held_->window, *g, x);
        if (value == held_->lastValue)
            return std::nullopt;
        held_->lastValue = value;
        return on(*g, ActionKind::Slide, value);
    }
    const int32_t threshold = std::max(4, convertWidth(6));
    if (canDrag(*g) && held_->item >= 0 && (std::abs(x - held_->x) > threshold || std::abs(y - held_->y) > threshold))
        held_->dragging = true;
    return std::nullopt;
}

std::optional<hxhost::UserAction> PointerGestures::release(int32_t x, int32_t y)
{
    if (!held_)
        return std::nullopt;
    const Held held = *held_;
    held_.reset();
    Gadget* g = isLiveWindow(held.window) ? findGadget(held.window, held.gadget) : nullptr;
    if (!g)
        return std::nullopt;
    const Hit hit = hitAt(x, y);
    if (isButtonLike(g->kind))
        return hit.gadget == g ? std::optional<UserAction>(on(*g, ActionKind::Press)) : std::nullopt;
    if (!held.dragging || !hit.gadget)
        return std::nullopt;
    if (hit.gadget == g) {
        UserAction action = on(*g, ActionKind::DragToPosition, held.item);
        action.to = dropPositionAt(*held.window, *g, x, y);
        return action;
    }
    UserAction action = on(*g, ActionKind::DragOnto, held.item);
    action.target.id = hit.gadget->id;
    return action;
}

std::optional<hxhost::UserAction> PointerGestures::wheel(int32_t x, int32_t y, int32_t notches)
{
    const Hit hit = hitAt(x, y);
    if (!hit.gadget || notches == 0)
        return std::nullopt;
    Gadget& g = *hit.gadget;
    switch (g.kind) {
    case GadgetKind::GridView:
    case GadgetKind::ListView:
        scrollRows(hit.window, g, -notches);
        return std::nullopt;
    case GadgetKind::Popup: {
        const int32_t value = std::clamp(g.selected - notches, 0, static_cast<int32_t>(g.items.size()) - 1);
        return value == g.selected || g.items.empty() ? std::nullopt
                                                       : std::optional<UserAction>(on(g, ActionKind::Choose, value));
    }
    case GadgetKind::Slider: {
        const int32_t step = std::max(1, (g.maximum - g.minimum) / 100);
        const int32_t value = std::clamp(g.value + notches * step, g.minimum, g.maximum);
        return value == g.value ? std::nullopt : std::optional<UserAction>(on(g, ActionKind::Slide, value));
    }
    default:
        return std::nullopt;
    }
}

std::optional<Rect> PointerGestures::pressedArea() const
{
    if (!held_ || !isLiveWindow(held_->window))
        return std::nullopt;
    const Gadget* g = findGadget(held_->window, held_->gadget);
    if (!g || !isButtonLike(g->kind))
        return std::nullopt;
    return gadgetOnScreen(*held_->window, *g);
}

} // namespace hx
