// What the user does to gadgets: the toolkit finds the gadget meant, changes it as a person's
// pointer or key would, and posts the events the program reads from its queue.
#include "gui/user_actions.h"

#include "gui/model.h"
#include "gui/gadget_look.h"
#include "runtime/msgq.h"
#include "runtime/reset_hook.h"
#include "text/utf.h"

#include <algorithm>
#include <cstdlib>

namespace {

using hx::Gadget;
using hx::GadgetKind;
using hxhost::ActionKind;
using hxhost::GadgetAddress;
using hxhost::UserAction;

// Pointer moves the host reports while a slider's knob is dragged.
constexpr int32_t kSliderDragMoves = 8;

struct PendingDrop {
    UgWindow* window = nullptr;
    UgGadget source = 0;
    int32_t from = 0;
    UgGadget target = 0;
    uint32_t dropPosition = 0;
    bool targetTakesDrops = false;
    bool allowed = false;
};

std::optional<PendingDrop>& pendingDrop()
{
    static std::optional<PendingDrop> drop;
    return drop;
}

struct Found {
    UgWindow* window = nullptr;
    Gadget* gadget = nullptr;
};

bool matches(const Gadget& g, const UgWindow& window, const GadgetAddress& a)
{
    if (a.id)
        return g.id == a.id;
    if (a.role == GadgetAddress::Role::Ok)
        return g.id == window.okGadget;
    if (a.role == GadgetAddress::Role::Cancel)
        return g.id == window.cancelGadget;
    if (a.key)
        return g.key == a.key;
    if (a.helpString >= 0)
        return g.helpString == a.helpString;
    if (!a.text.empty())
        return g.text == a.text || g.helpText == a.text;
    return false;
}

std::string describe(const GadgetAddress& a)
{
    std::string where = a.window.empty() ? "" : " in \"" + hx::utf16To8(a.window) + "\"";
    if (a.id)
        return "gadget #" + std::to_string(a.id) + where;
    if (a.role != GadgetAddress::Role::None)
        return std::string(a.role == GadgetAddress::Role::Ok ? "the OK gadget" : "the Cancel gadget") + where;
    if (a.key)
        return "the gadget with key " + std::to_string(a.key) + where;
    if (a.helpString >= 0)
        return "the gadget with help text " + std::to_string(a.helpString) + where;
    if (!a.text.empty())
        return "the gadget \"" + hx::utf16To8(a.text) + "\"" + where;
    if (a.kind)
        return "gadget " + std::to_string(a.index) + " of its kind" + where;
    return "no gadget";
}

// Windows searched for an address: the one named, or all from the topmost down.
std::vector<UgWindow*> searchOrder(const GadgetAddress& a)
{
    if (!a.window.empty()) {
        UgWindow* named = hx::windowTitled(a.window);
        return named ? std::vector<UgWindow*>{named} : std::vector<UgWindow*>{};
    }
    const auto& open = hx::openWindows();
    return std::vector<UgWindow*>(open.rbegin(), open.rend());
}

Found resolve(const GadgetAddress& a, std::string& why)
{
    for (UgWindow* window : searchOrder(a)) {
        int32_t ofKind = 0;
        for (auto& gadget : window->gadgets) {
            if (a.kind && !a.id) {
                if (gadget->kind == *a.kind && ofKind++ == a.index)
                    return {window, gadget.get()};
            } else if (matches(*gadget, *window, a)) {
                return {window, gadget.get()};
            }
        }
    }
    why = "cannot find " + describe(a);
    return {};
}

bool post(UgWindow* window, UgMessage message)
{
    message.reserved4[0] = window ? window->id : 0; // the host's own field: which window
    return hx::postMessage(window && window->queue ? window->queue : hx::newestQueue(), &message, sizeof message);
}

bool postGadgetEvent(const Found& f, uint32_t code, int32_t value, std::string& why)
{
    UgMessage message{};
    message.messageClass = UG_MSG_GADGET;
    message.gadget = f.gadget->id;
    message.code = code;
    message.value = static_cast<uint32_t>(value);
    if (!post(f.window, message)) {
        why = "the program's queue is full or gone";
        return false;
    }
    return true;
}

int32_t itemCount(const Gadget& g)
{
    return static_cast<int32_t>(g.items.size());
}

bool press(const Found& f, std::string& why)
{
    Gadget& g = *f.gadget;
    switch (g.kind) {
    case GadgetKind::TextButton:
    case GadgetKind::ImageButton:
    case GadgetKind::ClickArea:
        return postGadgetEvent(f, UG_EVENT_PRESSED, 0, why);
    case GadgetKind::CheckBox:
        g.state = g.state ? 0 : 1;
        hx::paintGadget(f.window, g);
        return postGadgetEvent(f, UG_EVENT_PRESSED, g.state, why);
    case GadgetKind::Popup:
        if (g.items.empty())
            break;
        g.selected = (g.selected + 1) % itemCount(g);
        hx::paintGadget(f.window, g);
        return postGadgetEvent(f, UG_EVENT_CHOSEN, g.selected, why);
    default:
        break;
    }
    why = "nothing to press there";
    return false;
}

bool selectPosition(const Found& f, int32_t position, uint32_t code, std::string& why)
{
    Gadget& g = *f.gadget;
    if (g.kind != GadgetKind::GridView && g.kind != GadgetKind::ListView) {
        why = "not a grid or list";
        return false;
    }
    if (position < 0 || position >= itemCount(g)) {
        why = "position " + std::to_string(position) + " is not shown (" + std::to_string(itemCount(g)) + " items)";
        return false;
    }
    g.selected = position;
    hx::keepSelectionShown(g);
    hx::paintGadget(f.window, g);
    return postGadgetEvent(f, code, position, why);
}

// The pointer over a gadget's middle is over the gadget made last there, as a drop area laid over a button.
Found underPointer(const Found& f)
{
    const int32_t x = f.gadget->x + f.gadget->width / 2, y = f.gadget->y + f.gadget->height / 2;
    for (auto it = f.window->gadgets.rbegin(); it != f.window->gadgets.rend(); ++it) {
        const Gadget& g = **it;
        if (x >= g.x && x < g.x + g.width && y >= g.y && y < g.y + g.height)
            return {f.window, it->get()};
    }
    return f;
}

// A dragged knob reports the values it passes as the pointer moves, then the one it stops at.
bool dragSlider(const Found& f, int32_t to, std::string& why)
{
    Gadget& g = *f.gadget;
    const int32_t from = g.value, target = std::clamp(to, g.minimum, g.maximum);
    const int32_t moves = std::min(std::abs(target - from), kSliderDragMoves);
    for (int32_t i = 1; i <= moves; ++i) {
        g.value = from + static_cast<int32_t>(static_cast<int64_t>(target - from) * i / moves);
        hx::paintGadget(f.window, g);
        if (!postGadgetEvent(f, UG_EVENT_SLID, g.value, why))
            return false;
    }
    return true;
}

bool startDrag(const Found& f, int32_t from, const Found& over, uint32_t dropPosition, std::string& why)
{
    Gadget& grid = *f.gadget;
    if (grid.kind != GadgetKind::GridView || (grid.flags & hx::kGridDragAndDrop) != hx::kGridDragAndDrop) {
        why = "this gadget does not let items be dragged";
        return false;
    }
    if (!selectPosition(f, from, UG_EVENT_SELECTED, why))
        return false;
    UgMessage message{};
    message.messageClass = UG_MSG_DRAG_OVER;
    message.gadget = grid.id;
    message.code = static_cast<uint32_t>(from);
    message.value = over.gadget->id;
    if (!post(f.window, message)) {
        why = "the program's queue is full or gone";
        return false;
    }
    const Gadget& target = *over.gadget;
    PendingDrop drop;
    drop.window = f.window;
    drop.source = grid.id;
    drop.from = from;
    drop.target = target.id;
    drop.dropPosition = dropPosition;
    drop.targetTakesDrops = over.window == f.window &&
                            ((target.kind == GadgetKind::GridView && (target.flags & hx::kGridDragAndDrop) == hx::kGridDragAndDrop) ||
                             (target.kind == GadgetKind::ClickArea && (target.flags & hx::kClickAcceptsDrops)));
    pendingDrop() = drop;
    return true;
}

bool close(const GadgetAddress& address, std::string& why)
{
    const auto& open = hx::openWindows();
    UgWindow* window = address.window.empty() ? (open.empty() ? nullptr : open.back()) : hx::windowTitled(address.window);
    if (!window) {
        why = "no such window to close";
        return false;
    }
    // A requester's close gadget is its Cancel gadget, or its OK gadget when it has only that.
    const UgGadget closer = window->cancelGadget ? window->cancelGadget : window->okGadget;
    if (closer)
        return postGadgetEvent({window, hx::findGadget(window, closer)}, UG_EVENT_PRESSED, 0, why);
    UgMessage message{};
    message.messageClass = UG_MSG_CLOSE;
    if (!post(window, message)) {
        why = "the program's queue is full or gone";
        return false;
    }
    return true;
}

bool act(const UserAction& action, std::string& why);

// What "set" means follows the gadget found: a popup chooses, a slider slides, a check box is set.
bool setting(const UserAction& action, const Gadget& g, std::string& why)
{
    UserAction meant = action;
    meant.gadget = GadgetAddress{};
    meant.gadget.id = g.id;
    if (g.kind == GadgetKind::Popup) {
        meant.kind = ActionKind::Choose;
        if (!action.entry.empty()) {
            const auto named = std::find_if(g.items.begin(), g.items.end(),
                                            [&](const hx::Item& item) { return item.text == action.entry; });
            if (named == g.items.end()) {
                why = "the popup has no entry \"" + hx::utf16To8(action.entry) + "\"";
                return false;
            }
            meant.value = static_cast<int32_t>(named - g.items.begin());
        }
    } else if (!action.entry.empty()) {
        why = "only a popup has entries named by text";
        return false;
    } else if (g.kind == GadgetKind::Slider) {
        meant.kind = ActionKind::Slide;
    } else if (g.kind == GadgetKind::CheckBox) {
        meant.kind = ActionKind::SetCheck;
    } else {
        why = "not a setting (a popup, slider or check box)";
        return false;
    }
    return act(meant, why);
}

bool act(const UserAction& action, std::string& why)
{
    if (action.kind == ActionKind::Close)
        return close(action.gadget, why);
    if (action.kind == ActionKind::Quit) {
        UgMessage message{};
        message.messageClass = UG_MSG_CLOSE_ALT;
        if (post(hx::mainWindow(), message))
            return true;
        why = "the program's queue is full or gone";
        return false;
    }
    if (action.kind == ActionKind::Screenshot) {
        const UgWindow* window = action.gadget.window.empty() ? nullptr : hx::windowTitled(action.gadget.window);
        if (!action.gadget.window.empty() && !window) {
            why = "no window \"" + hx::utf16To8(action.gadget.window) + "\"";
            return false;
        }
        return hxhost::saveScreenshot(action.path, window, &why);
    }
    GadgetAddress address = action.gadget;
    if (action.kind == ActionKind::Key) {
        address = GadgetAddress{};
        address.key = static_cast<uint32_t>(action.value);
        address.window = action.gadget.window;
    }
    const Found f = resolve(address, why);
    if (!f.gadget)
        return false;
    Gadget& g = *f.gadget;
    if (action.kind == ActionKind::Set)
        return setting(action, g, why);
    switch (action.kind) {
    case ActionKind::Press:
        return press(f, why);
    case ActionKind::Key:
        // A key presses buttons and toggles check boxes; on lists, grids and sliders it only moves the focus.
        if (g.kind == GadgetKind::GridView || g.kind == GadgetKind::ListView || g.kind == GadgetKind::Slider)
            return true;
        return press(f, why);
    case ActionKind::Choose:
        if (g.kind != GadgetKind::Popup || action.value < 0 || action.value >= itemCount(g)) {
            why = g.kind != GadgetKind::Popup ? "not a popup" : "the popup has no entry " + std::to_string(action.value);
            return false;
        }
        g.selected = action.value;
        hx::paintGadget(f.window, g);
        return postGadgetEvent(f, UG_EVENT_CHOSEN, action.value, why);
    case ActionKind::Slide:
        if (g.kind != GadgetKind::Slider) {
            why = "not a slider";
            return false;
        }
        g.value = std::clamp(action.value, g.minimum, g.maximum); // the knob stops at the ends
        hx::paintGadget(f.window, g);
        return postGadgetEvent(f, UG_EVENT_SLID, g.value, why);
    case ActionKind::DragSlider:
        if (g.kind != GadgetKind::Slider) {
            why = "not a slider";
            return false;
        }
        return dragSlider(f, action.value, why);
    case ActionKind::SetCheck:
        if (g.kind != GadgetKind::CheckBox) {
            why = "not a check box";
            return false;
        }
        return g.state == (action.value ? 1 : 0) || press(f, why);
    case ActionKind::Select:
        return selectPosition(f, action.value, UG_EVENT_SELECTED, why);
    case ActionKind::DoubleClick:
        return selectPosition(f, action.value, UG_EVENT_CHOSEN, why);
    case ActionKind::Step:
        if (g.items.empty()) {
            why = "nothing to step through";
            return false;
        }
        return selectPosition(f, std::clamp(std::max(g.selected, 0) + action.value, 0, itemCount(g) - 1), UG_EVENT_KEY_SELECTED, why);
    case ActionKind::DragToPosition:
        if (action.to < 0 || action.to > itemCount(g)) {
            why = "drop position " + std::to_string(action.to) + " lies beyond the grid";
            return false;
        }
        return startDrag(f, action.value, f, static_cast<uint32_t>(action.to), why);
    case ActionKind::DragOnto: {
        const Found over = resolve(action.target, why);
        return over.gadget && startDrag(f, action.value, underPointer(over), 0xFFFFFFFFu, why);
    }
    default:
        why = "unknown action";
        return false;
    }
}

} // namespace

namespace hx {

bool performAction(const UserAction& action, std::string& why)
{
    return act(action, why);
}

void dropPossible(bool possible)
{
    if (pendingDrop())
        pendingDrop()->allowed = possible;
}

bool finishPendingDrop()
{
    if (!pendingDrop())
        return false;
    const PendingDrop drop = *pendingDrop();
    pendingDrop().reset();
    if (!drop.allowed || !drop.targetTakesDrops || !isLiveWindow(drop.window))
        return false;
    if (Gadget* source = findGadget(drop.window, drop.source))
        source->lastDragSource = drop.from;
    UgMessage message{};
    message.messageClass = UG_MSG_DROP;
    message.gadget = drop.source;
    message.code = static_cast<uint32_t>(drop.from);
    message.value = drop.target;
    message.dropPosition = drop.dropPosition;
    return post(drop.window, message);
}

void closeMainWindow(MsgQueue* queue)
{
    UgMessage message{};
    message.messageClass = UG_MSG_CLOSE;
    UgWindow* window = mainWindow();
    message.reserved4[0] = window ? window->id : 0;
    postMessage(queue, &message, sizeof message);
}

const ResetHook userActionsReset([] { pendingDrop().reset(); });

} // namespace hx
