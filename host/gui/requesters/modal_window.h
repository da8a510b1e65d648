// A requester the user answers before the host's call returns (a notice, a question, the crop
// requester): drawn over every window while it stands, so that the screen shows it.
#ifndef HX_GUI_REQUESTERS_MODAL_WINDOW_H
#define HX_GUI_REQUESTERS_MODAL_WINDOW_H

#include "gui/canvas.h"
#include "gui/model.h"

#include <string>
#include <vector>

namespace hx {

class ModalWindow {
public:
    // A centred window with a title bar around content of width x height pixels.
    ModalWindow(const std::u16string& title, int32_t width, int32_t height);
    ~ModalWindow();
    ModalWindow(const ModalWindow&) = delete;
    ModalWindow& operator=(const ModalWindow&) = delete;

    bool open() const { return window_ != nullptr; }
    UgWindow* window() const { return window_; }
    // Draws into the content in content coordinates.
    Canvas canvas() const;
    // Buttons in a row at the content's bottom right, the first label rightmost (Cancel, then OK to
    // its left, as the toolkit's requesters have them). The buttons at
    // `accepts` and `cancels` (-1: none) are the window's OK and Cancel, where a person's click answers.
    void addButtons(const std::vector<std::u16string>& labels, int32_t accepts, int32_t cancels);
    // Tells the screen that the window's pixels changed.
    void shown() const;

private:
    UgWindow* window_ = nullptr;
};

// The text broken into lines no wider than maxWidth, at spaces and newlines.
std::vector<std::u16string> wrapText(const std::u16string& text, int32_t maxWidth);
// The height and width of a button row of the modal requesters.
int32_t modalButtonHeight();
int32_t modalButtonWidth(const std::u16string& label);

} // namespace hx

#endif
