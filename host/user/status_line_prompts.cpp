// The questions the person at the desktop window answers in its status line: notices, yes or no,
// a text to type, and the Stop of a running meter.
#include "user/interactive_user.h"

#include "gui/hit_test.h"
#include "text/utf.h"
#include "user/typed_answers.h"

#include <utility>

namespace hx {

namespace {

// Between two pictures of a running meter, so the work is not slowed by showing it.
constexpr std::chrono::milliseconds kMeterFrame{40};

// Input kept while a meter runs; a person does not type faster than this.
constexpr size_t kMaxPendingEvents = 4096;

} // namespace

uint32_t InteractiveUser::answerTextRequest(const hxhost::TextRequestSeen& request)
{
    Prompt prompt;
    prompt.text = request.title.empty() ? request.text : request.title + u": " + request.text;
    prompt.buttons = request.style == 1 ? std::vector<std::u16string>{u"OK"} : std::vector<std::u16string>{u"Yes", u"No"};
    return ask(prompt) == 0 ? 1u : 0u;
}

bool InteractiveUser::continueMeter(const hxhost::MeterSeen& meter)
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

// The answer an event gives to a prompt: a button's index, or -1 for none yet. A requester the
// toolkit shows answers through its own OK and Cancel gadgets too.
int32_t InteractiveUser::answerOf(const SDL_Event& event, const Prompt& prompt)
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
bool InteractiveUser::forMeter(const SDL_Event& event) const
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
int32_t InteractiveUser::ask(Prompt& prompt)
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
bool InteractiveUser::edit(const SDL_Event& event, Prompt& prompt)
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

} // namespace hx
