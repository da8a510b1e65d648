// The person at the desktop window as the host's user: pointer and keys become the same actions a
// session script plays (interactive_user.cpp), questions and meters wait in the status line
// (status_line_prompts.cpp), and the modal pickers, the file and crop requesters take the pointer
// too (pointer_requesters.cpp).
#ifndef HX_USER_INTERACTIVE_USER_H
#define HX_USER_INTERACTIVE_USER_H

#include "hxhost/window.h"

#include "gui/model.h"
#include "gui/requesters/crop_requester.h"
#include "gui/requesters/file_window.h"
#include "user/crop_gesture.h"
#include "user/desktop_window.h"
#include "user/pointer_gestures.h"
#include "text/utf.h"
#include "user/window_frame.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hx {

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

// The window on top, or null.
UgWindow* topmostWindow();

class InteractiveUser : public hxhost::User {
public:
    explicit InteractiveUser(std::unique_ptr<hx::DesktopWindow> window) : window_(std::move(window)) {}

    std::optional<hxhost::UserAction> nextAction() override;
    void actionFailed(const hxhost::UserAction&, const std::string& why) override { message_ = hx::utf8To16(why); }
    uint32_t answerTextRequest(const hxhost::TextRequestSeen& request) override;
    bool continueMeter(const hxhost::MeterSeen& meter) override;
    hxhost::CropAnswer answerImageRequest(const hxhost::ImageRequestSeen& request) override;
    std::vector<uint32_t> pickScenes(const std::vector<hxhost::SceneOffered>& offered) override;
    std::vector<std::string> pickOperators(const std::vector<std::string>& offered, const std::string&) override;
    std::optional<hxhost::FileAnswer> pickFile(int32_t) override;

private:
    // ---- Showing and reading events ----
    void show(const Prompt* prompt);
    bool closes(const SDL_Event& event) const;
    // The frame pixel under a pointer event; false outside the picture.
    bool framePoint(int32_t windowX, int32_t windowY, int32_t& x, int32_t& y) const;
    bool onScreen(int32_t x, int32_t y) const { return y < frame_.statusTop && x >= 0 && y >= 0; }
    // Follows the pointer: the gadget under it is marked and its help text shown. True when that changed.
    bool follow(int32_t x, int32_t y);
    std::optional<hxhost::UserAction> handle(const SDL_Event& event);

    // ---- Keys ----
    std::optional<hxhost::UserAction> keyAction(const SDL_Keysym& key);
    // The cursor keys move a list's or grid's selection and a slider's knob: the focused gadget's, or
    // the first list or grid of the topmost window.
    std::optional<hxhost::UserAction> arrow(SDL_Keycode symbol);
    // Enter or Space on the focused gadget: buttons press, popups step, Enter opens a list's or grid's selection.
    std::optional<hxhost::UserAction> activateFocus(bool enter);
    // Tab and Shift+Tab go round the gadgets of the topmost window in the order they were made.
    void moveFocus(int32_t step);
    Gadget* focusedGadget() const;
    // The windows changed under a pointer at rest: what it is over now is marked, not what was there,
    // and a focus on a gadget that is gone is dropped.
    void markAgain();

    // ---- Questions in the status line ----
    // The answer an event gives to a prompt: a button's index, or -1 for none yet. A requester the
    // toolkit shows answers through its own OK and Cancel gadgets too.
    int32_t answerOf(const SDL_Event& event, const Prompt& prompt);
    // Escape, the meter's Stop button, and the pointer on the status line, where a Stop button is too.
    bool forMeter(const SDL_Event& event) const;
    // Waits for the person's answer: the index of a button, or -1 when the window was closed.
    int32_t ask(Prompt& prompt);
    // Typing into the prompt's text; true when the event was a change to it.
    bool edit(const SDL_Event& event, Prompt& prompt);

    // ---- The pointer in the pickers and requesters ----
    // The positions chosen among `offered`: the boxes ticked in the picker on top, or a typed list
    // when the person typed one; none when cancelled.
    std::vector<size_t> choose(const std::u16string& question, const std::vector<std::string>& offered);
    // A click on a check box of the picker toggles it.
    bool tick(const SDL_Event& event, UgWindow* picker);
    // The offered names whose boxes are ticked, in the order offered.
    static std::vector<size_t> ticked(UgWindow* picker, const std::vector<std::string>& offered);
    // The pointer in the file requester's list: a click puts the row's path in the prompt, a double
    // click opens a folder or answers with a file, the wheel scrolls.
    bool browse(const SDL_Event& event, hx::FileWindow& files, Prompt& prompt);
    // The pointer drawing the crop requester's rectangle; the typed numbers follow it.
    bool dragCrop(const SDL_Event& event, hx::StandingCrop& crop, hx::CropGesture& gesture, Prompt& prompt);

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

} // namespace hx

#endif
