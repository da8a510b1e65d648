#include "gui/requesters/modal_window.h"

#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/screen.h"

#include "host/hxreq.h"

#include <algorithm>

namespace hx {

namespace {

constexpr uint32_t kModalFlags = kWindowTitleBar | kWindowCentred | 0x100000;

} // namespace

ModalWindow::ModalWindow(const std::u16string& title, int32_t width, int32_t height)
{
    UReqRequest request{};
    request.flags = kModalFlags;
    request.size = static_cast<uint32_t>(std::max(1, width) & 0xFFFF) | static_cast<uint32_t>(std::max(1, height) & 0xFFFF) << 16;
    request.title = title.c_str();
    window_ = openWindow(request);
}

ModalWindow::~ModalWindow()
{
    if (window_)
        closeWindow(window_);
}

Canvas ModalWindow::canvas() const
{
    return contentCanvas(window_);
}

void ModalWindow::addButtons(const std::vector<std::u16string>& labels)
{
    if (!window_)
        return;
    const int32_t gap = convertWidth(6), h = modalButtonHeight();
    int32_t right = window_->contentWidth - gap;
    for (const std::u16string& label : labels) {
        const int32_t w = modalButtonWidth(label);
        right -= w;
        if (Gadget* button = addGadget(window_, GadgetKind::TextButton, right, window_->contentHeight - h - gap, w, h)) {
            button->text = label;
            paintGadget(window_, *button);
        }
        right -= gap;
    }
}

void ModalWindow::shown() const
{
    screenChanged();
}

std::vector<std::u16string> wrapText(const std::u16string& text, int32_t maxWidth)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(u'\n', start), text.size());
        const std::u16string paragraph = text.substr(start, end - start);
        std::u16string line;
        size_t word = 0;
        while (word < paragraph.size()) {
            const size_t space = std::min(paragraph.find(u' ', word), paragraph.size());
            const std::u16string next = paragraph.substr(word, space - word);
            const std::u16string candidate = line.empty() ? next : line + u" " + next;
            if (!line.empty() && textWidth(candidate) > maxWidth) {
                lines.push_back(line);
                line = next;
            } else {
                line = candidate;
            }
            word = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

int32_t modalButtonHeight()
{
    return rowHeight();
}

int32_t modalButtonWidth(const std::u16string& label)
{
    return std::max(textWidth(label) + 2 * convertWidth(12), convertWidth(90));
}

} // namespace hx
