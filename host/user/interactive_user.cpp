// The person at the desktop window as the host's user: pointer and keys become the same actions a
// session script plays.
#include "user/interactive_user.h"

#include "gui/gadget_look.h"
#include "gui/hit_test.h"
#include "gui/screen.h"
#include "text/utf.h"

#include <algorithm>

namespace hx {

using hxhost::ActionKind;
using hxhost::UserAction;

namespace {

const char16_t kHint[] = u"Tab moves the focus, Enter answers OK, Escape answers Cancel";

UserAction actionOn(UgGadget gadget, ActionKind kind, int32_t value = 0)
{
    UserAction action;
    action.kind = kind;
    action.gadget.id = gadget;
    action.value = value;
    return action;
}

// The gadget a shortcut key reaches: the windows from the topmost down, each in the order made.
std::pair<UgWindow*, Gadget*> gadgetWithKey(uint32_t key)
{
    const auto& open = hx::openWindows();
    for (auto window = open.rbegin(); window != open.rend(); ++window)
        for (auto& gadget : (*window)->gadgets)
            if (gadget->key == key)
                return {*window, gadget.get()};
    return {nullptr, nullptr};
}

std::u16string describe(const Gadget& g, int32_t item)
{
    if (item >= 0 && item < static_cast<int32_t>(g.items.size()) && !g.items[static_cast<size_t>(item)].text.empty())
        return g.items[static_cast<size_t>(item)].text;
    return !g.helpText.empty() ? g.helpText : g.text;
}

} // namespace

UgWindow* topmostWindow()
{
    const auto& open = hx::openWindows();
    return open.empty() ? nullptr : open.back();
}

std::optional<UserAction> InteractiveUser::nextAction()
{
    markAgain();
    show(nullptr);
    for (;;) {
        SDL_Event event;
        // What the person did while the program worked counts, even when the window was closed after it.
        if (!pending_.empty()) {
            event = pending_.front();
            pending_.pop_front();
        } else if (closed_) {
            return std::nullopt;
        } else if (!window_->nextEvent(event, 500)) {
            continue;
        }
        if (closes(event)) {
            closed_ = true;
            return std::nullopt;
        }
        std::optional<UserAction> action = handle(event);
        if (action) {
            message_.clear();
            return action;
        }
    }
}

void InteractiveUser::show(const Prompt* prompt)
{
    hx::FrameMarks marks;
    if (hover_ && hx::isLiveWindow(hover_->window))
        if (const Gadget* g = hx::findGadget(hover_->window, hover_->gadget))
            marks.hover = hx::gadgetOnScreen(*hover_->window, *g);
    marks.pressed = pointer_.pressedArea();
    if (const Gadget* g = focusedGadget())
        marks.focus = hx::gadgetOnScreen(*focus_->window, *g);
    marks.hoverButton = hoverButton_;
    if (prompt) {
        marks.status = !message_.empty() ? message_ + u"  " + prompt->text : prompt->text;
        marks.typed = prompt->typed;
        marks.buttons = prompt->buttons;
    } else {
        marks.status = !hoverText_.empty() ? hoverText_ : !message_.empty() ? message_ : kHint;
    }
    frame_ = hx::composeFrame(hxhost::screenPicture(), marks);
    window_->show(frame_.pixels, frame_.width, frame_.height);
}

bool InteractiveUser::closes(const SDL_Event& event) const
{
    return event.type == SDL_QUIT ||
           (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
            event.window.windowID == window_->id());
}

// The frame pixel under a pointer event; false outside the picture.
bool InteractiveUser::framePoint(int32_t windowX, int32_t windowY, int32_t& x, int32_t& y) const
{
    return window_->toPicture(windowX, windowY, x, y);
}

// Follows the pointer: the gadget under it is marked and its help text shown. True when that changed.
bool InteractiveUser::follow(int32_t x, int32_t y)
{
    pointerX_ = x;
    pointerY_ = y;
    std::optional<Marked> hovered;
    std::u16string text;
    int32_t button = -1;
    if (onScreen(x, y)) {
        const hx::Hit hit = hx::hitAt(x, y);
        if (hit.gadget) {
            hovered = Marked{hit.window, hit.gadget->id};
            text = describe(*hit.gadget, hit.item);
        }
    } else {
        button = hx::buttonAt(frame_, x, y);
    }
    const bool changed = text != hoverText_ || button != hoverButton_ ||
                         hovered.has_value() != hover_.has_value() ||
                         (hovered && (hovered->window != hover_->window || hovered->gadget != hover_->gadget));
    hover_ = hovered;
    hoverText_ = text;
    hoverButton_ = button;
    return changed;
}

std::optional<UserAction> InteractiveUser::handle(const SDL_Event& event)
{
    int32_t x = -1, y = -1;
    std::optional<UserAction> action;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (!framePoint(event.motion.x, event.motion.y, x, y))
            x = y = -1;
        action = pointer_.move(x, y);
        if (follow(x, y) || pointer_.pressedArea() || action)
            show(nullptr);
        return action;
    case SDL_MOUSEBUTTONDOWN:
        if (!framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
            return std::nullopt;
        action = pointer_.press(x, y, event.button.button, event.button.clicks);
        show(nullptr);
        return action;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT)
            return std::nullopt;
        if (!framePoint(event.button.x, event.button.y, x, y))
            x = y = -1;
        action = pointer_.release(x, y);
        show(nullptr);
        return action;
    case SDL_MOUSEWHEEL: {
        int32_t windowX = 0, windowY = 0;
        window_->pointer(windowX, windowY);
        if (!framePoint(windowX, windowY, x, y) || !onScreen(x, y))
            return std::nullopt;
        action = pointer_.wheel(x, y, event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        show(nullptr);
        return action;
    }
    case SDL_KEYDOWN:
        action = keyAction(event.key.keysym);
        show(nullptr);
        return action;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
            pointer_.cancel();
            follow(-1, -1);
        }
        show(nullptr);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<UserAction> InteractiveUser::keyAction(const SDL_Keysym& key)
{
    UgWindow* top = topmostWindow();
    const bool plain = (key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_SHIFT)) == 0;
    switch (key.sym) {
    case SDLK_TAB:
        moveFocus(key.mod & KMOD_SHIFT ? -1 : 1);
        return std::nullopt;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (top && top->okGadget)
            return actionOn(top->okGadget, ActionKind::Press);
        return activateFocus(true);
    case SDLK_ESCAPE:
        if (top && (top->cancelGadget || top->okGadget)) {
            UserAction close;
            close.kind = ActionKind::Close; // a requester's close is its Cancel
            return close;
        }
        break;
    case SDLK_SPACE:
        if (focusedGadget())
            return activateFocus(false);
        break;
    case SDLK_LEFT:
    case SDLK_RIGHT:
    case SDLK_UP:
    case SDLK_DOWN:
        if (plain)
            if (std::optional<UserAction> step = arrow(key.sym))
                return step;
        break;
    default:
        break;
    }
    const uint32_t code = hxhost::toolkitKey(key.sym, key.mod);
    const auto [window, gadget] = code ? gadgetWithKey(code) : std::pair<UgWindow*, Gadget*>{nullptr, nullptr};
    if (!gadget)
        return std::nullopt;
    if (gadget->kind == GadgetKind::GridView || gadget->kind == GadgetKind::ListView || gadget->kind == GadgetKind::Slider)
        focus_ = Marked{window, gadget->id};
    UserAction action;
    action.kind = ActionKind::Key;
    action.value = static_cast<int32_t>(code);
    return action;
}

// The cursor keys move a list's or grid's selection and a slider's knob: the focused gadget's, or
// the first list or grid of the topmost window.
std::optional<UserAction> InteractiveUser::arrow(SDL_Keycode symbol)
{
    Gadget* g = focusedGadget();
    if (!g)
        if (UgWindow* top = topmostWindow())
            for (auto& gadget : top->gadgets)
                if (gadget->kind == GadgetKind::GridView || gadget->kind == GadgetKind::ListView) {
                    g = gadget.get();
                    break;
                }
    if (!g)
        return std::nullopt;
    const bool forward = symbol == SDLK_RIGHT || symbol == SDLK_DOWN;
    const bool vertical = symbol == SDLK_UP || symbol == SDLK_DOWN;
    int32_t step = forward ? 1 : -1;
    switch (g->kind) {
    case GadgetKind::GridView:
        if (vertical)
            step *= hx::gridLayout(*g).columns;
        return actionOn(g->id, ActionKind::Step, step);
    case GadgetKind::ListView:
        return vertical ? std::optional<UserAction>(actionOn(g->id, ActionKind::Step, step)) : std::nullopt;
    case GadgetKind::Slider:
        return vertical ? std::nullopt
                        : std::optional<UserAction>(actionOn(g->id, ActionKind::Slide,
                                                             g->value + step * std::max(1, (g->maximum - g->minimum) / 100)));
    case GadgetKind::Popup:
        if (g->items.empty())
            return std::nullopt;
        return actionOn(g->id, ActionKind::Choose,
                        std::clamp(g->selected + step, 0, static_cast<int32_t>(g->items.size()) - 1));
    default:
        return std::nullopt;
    }
}

// Enter or Space on the focused gadget: buttons press, popups step, Enter opens a list's or grid's selection.
std::optional<UserAction> InteractiveUser::activateFocus(bool enter)
{
    Gadget* g = focusedGadget();
    if (!g)
        return std::nullopt;
    switch (g->kind) {
    case GadgetKind::TextButton:
    case GadgetKind::ImageButton:
    case GadgetKind::CheckBox:
    case GadgetKind::ClickArea:
        return actionOn(g->id, ActionKind::Press);
    case GadgetKind::Popup:
        return actionOn(g->id, ActionKind::Press);
    case GadgetKind::GridView:
    case GadgetKind::ListView:
        if (enter && g->selected >= 0)
            return actionOn(g->id, ActionKind::DoubleClick, g->selected);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Tab and Shift+Tab go round the gadgets of the topmost window in the order they were made.
void InteractiveUser::moveFocus(int32_t step)
{
    UgWindow* top = topmostWindow();
    if (!top || top->gadgets.empty())
        return;
    const int32_t count = static_cast<int32_t>(top->gadgets.size());
    int32_t at = -1;
    if (focusedGadget() && focus_->window == top)
        for (int32_t i = 0; i < count; ++i)
            if (top->gadgets[static_cast<size_t>(i)]->id == focus_->gadget)
                at = i;
    for (int32_t tries = 0; tries < count; ++tries) {
        at = at < 0 && step < 0 ? count - 1 : (at + step + count) % count;
        const Gadget& g = *top->gadgets[static_cast<size_t>(at)];
        if (g.kind != GadgetKind::ClickArea) {
            focus_ = Marked{top, g.id};
            return;
        }
    }
}

Gadget* InteractiveUser::focusedGadget() const
{
    return focus_ && hx::isLiveWindow(focus_->window) ? hx::findGadget(focus_->window, focus_->gadget) : nullptr;
}

// The windows changed under a pointer at rest: what it is over now is marked, not what was there,
// and a focus on a gadget that is gone is dropped.
void InteractiveUser::markAgain()
{
    follow(pointerX_, pointerY_);
    if (focus_ && !focusedGadget())
        focus_.reset();
}

} // namespace hx

namespace hxhost {

int32_t windowStatusLineHeight()
{
    return hx::statusLineHeight();
}

std::shared_ptr<User> openWindowUser(const WindowOptions& options, std::string* error)
{
    const Picture screen = screenPicture();
    std::string why;
    std::unique_ptr<hx::DesktopWindow> window =
        hx::DesktopWindow::open(options, screen.width, screen.height + windowStatusLineHeight(), why);
    if (!window) {
        if (error)
            *error = why;
        return nullptr;
    }
    return std::make_shared<hx::InteractiveUser>(std::move(window));
}

} // namespace hxhost
