// The person at the desktop window as the host's user: pointer and keys become the same actions a
// session script plays, and the modal requesters wait for the person's answer.
#include "hxhost/window.h"

#include "gui/gadget_look.h"
#include "gui/hit_test.h"
#include "gui/model.h"
#include "gui/requesters/crop_requester.h"
#include "gui/requesters/file_window.h"
#include "gui/screen.h"
#include "text/utf.h"
#include "user/crop_gesture.h"
#include "user/desktop_window.h"
#include "user/pointer_gestures.h"
#include "user/typed_answers.h"
#include "user/window_frame.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <utility>

namespace {

using hx::Frame;
using hx::Gadget;
using hx::GadgetKind;
using hxhost::ActionKind;
using hxhost::UserAction;

// Between two pictures of a running meter, so the work is not slowed by showing it.
constexpr std::chrono::milliseconds kMeterFrame{40};

// Input kept while a meter runs; a person does not type faster than this.
constexpr size_t kMaxPendingEvents = 4096;

const char16_t kHint[] = u"Tab moves the focus, Enter answers OK, Escape answers Cancel";

// A question in the status line: its answers as buttons, and perhaps a text to type.
struct Prompt {
    std::u16string text;
    std::vector<std::u16string> buttons; // the first accepts, the last cancels
    std::optional<std::u16string> typed;
    bool completesPaths = false;
    // The requester's own use of the pointer on the screen (a picker's boxes, the crop rectangle);
    // true when it took the event.
    std::function<bool(const SDL_Event&)> pointer;
    std::optional<int32_t> answered; // set by `pointer` when its event answers, as a double click on a file
};

// A folder as the file prompt shows it, ready for a name to be typed after it.
std::u16string folderText(const std::string& folder)
{
    return hx::utf8To16(folder == "/" ? folder : folder + "/");
}

std::u16string rectangleText(const hx::CropRectangle& r)
{
    return hx::utf8To16(std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.width) + " " +
                        std::to_string(r.height));
}

UgWindow* topmostWindow()
{
    const auto& open = hx::openWindows();
    return open.empty() ? nullptr : open.back();
}

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

class InteractiveUser : public hxhost::User {
public:
    explicit InteractiveUser(std::unique_ptr<hx::DesktopWindow> window) : window_(std::move(window)) {}

    std::optional<UserAction> nextAction() override
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

    void actionFailed(const UserAction&, const std::string& why) override { message_ = hx::utf8To16(why); }

    uint32_t answerTextRequest(const hxhost::TextRequestSeen& request) override
    {
        Prompt prompt;
        prompt.text = request.title.empty() ? request.text : request.title + u": " + request.text;
        prompt.buttons = request.style == 1 ? std::vector<std::u16string>{u"OK"} : std::vector<std::u16string>{u"Yes", u"No"};
        return ask(prompt) == 0 ? 1u : 0u;
    }

    bool continueMeter(const hxhost::MeterSeen& meter) override
    {
        if (closed_)
            return false; // the person left: the work stops and the session shuts down
        meterStatus_ = meter.title;
        if (!meter.updates.empty())
            meterStatus_ += u"  " + hx::utf8To16(std::to_string(meter.updates.back()) + " / " + std::to_string(meter.steps));
        const Prompt prompt{meterStatus_, {u"Stop"}, std::nullopt, false, nullptr, std::nullopt};
        SDL_Event event;
        bool stop = false;
        while (!stop && window_->nextEvent(event, 0)) {
            if (closes(event)) {
                closed_ = true;
                return false;
            }
            // Only Escape or the Stop button stops the work; what else the person does waits until it is done.
            if (forMeter(event))
                stop = answerOf(event, prompt) == 0;
            else if (pending_.size() < kMaxPendingEvents)
                pending_.push_back(event);
        }
        const auto now = std::chrono::steady_clock::now();
        if (stop || now - lastMeterFrame_ >= kMeterFrame) {
            lastMeterFrame_ = now;
            show(&prompt);
        }
        return !stop;
    }

    hxhost::CropAnswer answerImageRequest(const hxhost::ImageRequestSeen& request) override
    {
        const hx::CropRectangle shown{request.x, request.y, request.width, request.height};
        Prompt prompt;
        prompt.text = u"Drag the rectangle or its corners, or type x y width height in the picture of " +
                      hx::utf8To16(std::to_string(request.pictureWidth) + "x" + std::to_string(request.pictureHeight)) + u":";
        prompt.typed = rectangleText(shown);
        prompt.buttons = {u"OK", u"Cancel"};
        if (hx::StandingCrop* crop = hx::standingCrop()) {
            auto gesture = std::make_shared<hx::CropGesture>(
                hx::CropPicture{crop->pictureOnScreen(), crop->pictureWidth(), crop->pictureHeight(), crop->minimumWidth(),
                                crop->minimumHeight(), std::max(6, hx::convertWidth(10))});
            prompt.pointer = [this, crop, gesture, &prompt](const SDL_Event& event) {
                return dragCrop(event, *crop, *gesture, prompt);
            };
        }
        for (;;) {
            if (ask(prompt) != 0)
                return {};
            const std::u16string typed = *prompt.typed;
            if (typed == rectangleText(shown))
                return {true, true};
            if (const auto values = hx::parseRectangle(hx::utf16To8(typed)))
                return {true, false, (*values)[0], (*values)[1], (*values)[2], (*values)[3]};
            message_ = u"Four whole numbers, please: x y width height";
        }
    }

    std::vector<uint32_t> pickScenes(const std::vector<hxhost::SceneOffered>& offered) override
    {
        std::vector<std::string> names;
        std::u16string listed;
        for (size_t i = 0; i < offered.size(); ++i) {
            names.push_back(hx::utf16To8(offered[i].name));
            listed += (i ? u", " : u"") + hx::utf8To16(std::to_string(i + 1) + " ") + offered[i].name;
        }
        std::vector<uint32_t> ids;
        for (size_t position : choose(u"Tick the scenes, or type numbers, names or * (" + listed + u"):", names))
            ids.push_back(offered[position].id);
        return ids;
    }

    std::vector<std::string> pickOperators(const std::vector<std::string>& offered, const std::string&) override
    {
        std::u16string listed;
        for (size_t i = 0; i < offered.size(); ++i)
            listed += (i ? u", " : u"") + hx::utf8To16(std::to_string(i + 1) + " " + offered[i]);
        std::vector<std::string> chosen;
        for (size_t position : choose(u"Tick the transitions, or type numbers, names or * (" + listed + u"):", offered))
            chosen.push_back(offered[position]);
        return chosen;
    }

    std::optional<hxhost::FileAnswer> pickFile(int32_t) override
    {
        hx::FileWindow* files = hx::standingFileWindow();
        Prompt prompt{u"Double-click a folder or a file, or type a path (Tab completes):", {u"Open", u"Cancel"},
                      files ? folderText(files->folder()) : u"", true, nullptr, std::nullopt};
        if (files)
            prompt.pointer = [this, files, &prompt](const SDL_Event& event) { return browse(event, *files, prompt); };
        for (;;) {
            if (ask(prompt) != 0)
                return std::nullopt;
            const std::string path = hx::utf16To8(*prompt.typed);
            struct stat info{};
            if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                return hxhost::FileAnswer{path, {}, 0};
            if (files && S_ISDIR(info.st_mode) && files->showFolder(path)) {
                *prompt.typed = folderText(files->folder());
                continue;
            }
            message_ = u"No such file: " + *prompt.typed;
        }
    }

private:
    // ---- Showing ----

    void show(const Prompt* prompt)
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

    // ---- Reading events ----

    bool closes(const SDL_Event& event) const
    {
        return event.type == SDL_QUIT ||
               (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
                event.window.windowID == window_->id());
    }

    // The frame pixel under a pointer event; false outside the picture.
    bool framePoint(int32_t windowX, int32_t windowY, int32_t& x, int32_t& y) const
    {
        return window_->toPicture(windowX, windowY, x, y);
    }

    bool onScreen(int32_t x, int32_t y) const { return y < frame_.statusTop && x >= 0 && y >= 0; }

    // Follows the pointer: the gadget under it is marked and its help text shown. True when that changed.
    bool follow(int32_t x, int32_t y)
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

    std::optional<UserAction> handle(const SDL_Event& event)
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

    // ---- Keys ----

    std::optional<UserAction> keyAction(const SDL_Keysym& key)
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
    std::optional<UserAction> arrow(SDL_Keycode symbol)
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
    std::optional<UserAction> activateFocus(bool enter)
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
    void moveFocus(int32_t step)
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

    Gadget* focusedGadget() const
    {
        return focus_ && hx::isLiveWindow(focus_->window) ? hx::findGadget(focus_->window, focus_->gadget) : nullptr;
    }

    // The windows changed under a pointer at rest: what it is over now is marked, not what was there,
    // and a focus on a gadget that is gone is dropped.
    void markAgain()
    {
        follow(pointerX_, pointerY_);
        if (focus_ && !focusedGadget())
            focus_.reset();
    }

    // ---- Modal questions ----

    // The answer an event gives to a prompt: a button's index, or -1 for none yet. A requester the
    // toolkit shows answers through its own OK and Cancel gadgets too.
    int32_t answerOf(const SDL_Event& event, const Prompt& prompt)
    {
        const int32_t cancel = static_cast<int32_t>(prompt.buttons.size()) - 1;
        int32_t x = -1, y = -1;
        switch (event.type) {
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER)
                return 0;
            if (event.key.keysym.sym == SDLK_ESCAPE)
                return cancel;
            return -1;
        case SDL_MOUSEMOTION:
            if (framePoint(event.motion.x, event.motion.y, x, y) && follow(x, y))
                show(&prompt);
            return -1;
        case SDL_MOUSEBUTTONDOWN: {
            if (event.button.button != SDL_BUTTON_LEFT || !framePoint(event.button.x, event.button.y, x, y))
                return -1;
            if (!onScreen(x, y))
                return hx::buttonAt(frame_, x, y);
            const hx::Hit hit = hx::hitAt(x, y);
            if (hit.gadget && hit.window == topmostWindow()) {
                if (hit.gadget->id == hit.window->okGadget)
                    return 0;
                if (hit.gadget->id == hit.window->cancelGadget)
                    return cancel;
            }
            return -1;
        }
        case SDL_WINDOWEVENT:
            show(&prompt);
            return -1;
        default:
            return -1;
        }
    }

    // Escape, the meter's Stop button, and the pointer on the status line, where a Stop button is too.
    bool forMeter(const SDL_Event& event) const
    {
        int32_t x = -1, y = -1;
        if (event.type == SDL_KEYDOWN)
            return event.key.keysym.sym == SDLK_ESCAPE;
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            if (!framePoint(event.button.x, event.button.y, x, y))
                return false;
            if (!onScreen(x, y))
                return true;
            const hx::Hit hit = hx::hitAt(x, y);
            return hit.gadget && hit.window == topmostWindow() && hit.gadget->id == hit.window->cancelGadget;
        }
        if (event.type == SDL_MOUSEMOTION)
            return framePoint(event.motion.x, event.motion.y, x, y) && !onScreen(x, y);
        return false;
    }

    // Waits for the person's answer: the index of a button, or -1 when the window was closed.
    int32_t ask(Prompt& prompt)
    {
        if (closed_)
            return -1;
        pointer_.cancel();
        markAgain(); // the requester may stand over what the pointer was on
        if (prompt.typed)
            window_->takeText(true);
        show(&prompt);
        int32_t answer = -1;
        while (answer < 0) {
            SDL_Event event;
            if (!window_->nextEvent(event, 500))
                continue;
            if (closes(event)) {
                closed_ = true;
                break;
            }
            if ((prompt.typed && edit(event, prompt)) || (prompt.pointer && prompt.pointer(event))) {
                message_.clear();
                if (prompt.answered)
                    answer = *std::exchange(prompt.answered, std::nullopt);
                else
                    show(&prompt);
                continue;
            }
            answer = answerOf(event, prompt);
        }
        if (prompt.typed)
            window_->takeText(false);
        message_.clear();
        if (!closed_)
            show(nullptr); // the answered question leaves the status line at once, before the work it starts
        return answer;
    }

    // Typing into the prompt's text; true when the event was a change to it.
    bool edit(const SDL_Event& event, Prompt& prompt)
    {
        std::u16string& text = *prompt.typed;
        if (event.type == SDL_TEXTINPUT) {
            text += hx::utf8To16(event.text.text);
            return true;
        }
        if (event.type != SDL_KEYDOWN)
            return false;
        if (event.key.keysym.sym == SDLK_BACKSPACE) {
            if (!text.empty())
                text.pop_back();
            return true;
        }
        if (event.key.keysym.sym == SDLK_TAB && prompt.completesPaths) {
            text = hx::utf8To16(hx::completePath(hx::utf16To8(text)));
            return true;
        }
        return false;
    }

    // The positions chosen among `offered`: the boxes ticked in the picker on top, or a typed list
    // when the person typed one; none when cancelled.
    std::vector<size_t> choose(const std::u16string& question, const std::vector<std::string>& offered)
    {
        UgWindow* picker = topmostWindow();
        Prompt prompt{question, {u"OK", u"Cancel"}, std::u16string{}, false, nullptr, std::nullopt};
        prompt.pointer = [this, picker](const SDL_Event& event) { return tick(event, picker); };
        for (;;) {
            if (ask(prompt) != 0)
                return {};
            if (prompt.typed->empty())
                return ticked(picker, offered);
            std::string unknown;
            if (const auto chosen = hx::parseChoices(hx::utf16To8(*prompt.typed), offered, unknown))
                return *chosen;
            message_ = u"Not offered: " + hx::utf8To16(unknown);
        }
    }

    // A click on a check box of the picker toggles it.
    bool tick(const SDL_Event& event, UgWindow* picker)
    {
        int32_t x = -1, y = -1;
        if (event.type != SDL_MOUSEBUTTONDOWN || event.button.button != SDL_BUTTON_LEFT ||
            !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
            return false;
        const hx::Hit hit = hx::hitAt(x, y);
        if (!hit.gadget || hit.window != picker || hit.gadget->kind != GadgetKind::CheckBox)
            return false;
        hit.gadget->state = hit.gadget->state ? 0 : 1;
        hx::paintGadget(picker, *hit.gadget);
        return true;
    }

    // The offered names whose boxes are ticked, in the order offered.
    static std::vector<size_t> ticked(UgWindow* picker, const std::vector<std::string>& offered)
    {
        std::vector<size_t> chosen;
        if (!hx::isLiveWindow(picker))
            return chosen;
        for (const auto& gadget : picker->gadgets)
            if (gadget->kind == GadgetKind::CheckBox && gadget->state)
                for (size_t i = 0; i < offered.size(); ++i)
                    if (hx::utf8To16(offered[i]) == gadget->text) {
                        chosen.push_back(i);
                        break;
                    }
        return chosen;
    }

    // The pointer in the file requester's list: a click puts the row's path in the prompt, a double
    // click opens a folder or answers with a file, the wheel scrolls.
    bool browse(const SDL_Event& event, hx::FileWindow& files, Prompt& prompt)
    {
        int32_t x = -1, y = -1;
        if (event.type == SDL_MOUSEWHEEL) {
            int32_t windowX = 0, windowY = 0;
            window_->pointer(windowX, windowY);
            if (!framePoint(windowX, windowY, x, y) || !onScreen(x, y))
                return false;
            const hx::Hit hit = hx::hitAt(x, y);
            if (!hit.gadget || hit.gadget->id != files.list())
                return false;
            const int32_t notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            hx::scrollRows(files.window(), *hit.gadget, -3 * notches);
            return true;
        }
        if (event.type != SDL_MOUSEBUTTONDOWN || event.button.button != SDL_BUTTON_LEFT ||
            !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
            return false;
        const hx::Hit hit = hx::hitAt(x, y);
        if (!hit.gadget || hit.gadget->id != files.list() || hit.item < 0)
            return false;
        const std::string path = files.pathOfRow(hit.item);
        if (event.button.clicks >= 2 && !path.empty() && path.back() == '/') {
            files.showFolder(path);
            *prompt.typed = folderText(files.folder());
            return true;
        }
        hit.gadget->selected = hit.item;
        hx::paintGadget(files.window(), *hit.gadget);
        *prompt.typed = hx::utf8To16(path);
        if (event.button.clicks >= 2)
            prompt.answered = 0;
        return true;
    }

    // The pointer drawing the crop requester's rectangle; the typed numbers follow it.
    bool dragCrop(const SDL_Event& event, hx::StandingCrop& crop, hx::CropGesture& gesture, Prompt& prompt)
    {
        int32_t x = -1, y = -1;
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN: {
            if (event.button.button != SDL_BUTTON_LEFT || !framePoint(event.button.x, event.button.y, x, y) || !onScreen(x, y))
                return false;
            const std::optional<std::vector<int32_t>> typed = hx::parseRectangle(hx::utf16To8(*prompt.typed));
            const hx::CropRectangle current = typed ? hx::CropRectangle{(*typed)[0], (*typed)[1], (*typed)[2], (*typed)[3]}
                                                    : hx::CropRectangle{};
            return gesture.press(x, y, current);
        }
        case SDL_MOUSEMOTION: {
            if (!gesture.held())
                return false;
            framePoint(event.motion.x, event.motion.y, x, y);
            const hx::CropRectangle drawn = gesture.move(x, y);
            crop.show(drawn);
            *prompt.typed = rectangleText(drawn);
            return true;
        }
        case SDL_MOUSEBUTTONUP:
            if (!gesture.held())
                return false;
            gesture.release();
            return true;
        default:
            return false;
        }
    }

    struct Marked {
        UgWindow* window = nullptr;
        uint32_t gadget = 0;
    };

    std::unique_ptr<hx::DesktopWindow> window_;
    hx::PointerGestures pointer_;
    Frame frame_;
    bool closed_ = false;
    std::u16string message_;
    std::optional<Marked> hover_;
    std::u16string hoverText_;
    int32_t hoverButton_ = -1;
    int32_t pointerX_ = -1, pointerY_ = -1; // frame pixels, -1 when the pointer is elsewhere
    std::optional<Marked> focus_;
    std::u16string meterStatus_;
    std::chrono::steady_clock::time_point lastMeterFrame_{};
    std::deque<SDL_Event> pending_; // input that came while a meter ran
};

} // namespace

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
    return std::make_shared<InteractiveUser>(std::move(window));
}

} // namespace hxhost
