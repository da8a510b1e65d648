#include "gui/requesters/picker_window.h"

#include "gui/colour.h"
#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/screen.h"

#include <algorithm>

namespace hx {

namespace {

struct PickerLayout {
    int32_t rows = 1, columns = 1;
    int32_t labelWidth = 0, columnWidth = 0;
    int32_t width = 0, height = 0; // the content
};

int32_t margin()
{
    return convertWidth(12);
}

int32_t gap()
{
    return convertWidth(4);
}

// Rows down to two thirds of the screen, then columns across it, as many as fit.
PickerLayout layOut(const std::vector<std::u16string>& names)
{
    const ScreenConfig& screen = screenConfig();
    PickerLayout layout;
    for (const std::u16string& name : names)
        layout.labelWidth = std::max(layout.labelWidth, textWidth(name) + 2 * convertWidth(6));
    layout.labelWidth = std::min(layout.labelWidth, screen.width / 3);
    const int32_t row = rowHeight() + gap(), count = std::max<int32_t>(1, static_cast<int32_t>(names.size()));
    layout.columnWidth = layout.labelWidth + rowHeight() + 2 * gap();
    const int32_t rowsFitting = std::max(1, screen.height * 2 / 3 / row);
    const int32_t columnsFitting = std::max(1, (screen.width * 5 / 6 - 2 * margin()) / layout.columnWidth);
    layout.rows = std::min(count, rowsFitting);
    layout.columns = std::min(columnsFitting, (count + layout.rows - 1) / layout.rows);
    layout.width = std::max(convertWidth(360), 2 * margin() + layout.columns * layout.columnWidth);
    layout.height = 2 * margin() + layout.rows * row + modalButtonHeight() + convertWidth(6);
    return layout;
}

} // namespace

PickerWindow::PickerWindow(const std::u16string& title, const std::vector<std::u16string>& names)
    : shown_(title, layOut(names).width, layOut(names).height)
{
    if (!shown_.open())
        return;
    const PickerLayout layout = layOut(names);
    const int32_t capacity = layout.rows * layout.columns;
    shownCount_ = std::min(names.size(), static_cast<size_t>(capacity));
    for (size_t i = 0; i < shownCount_; ++i) {
        const int32_t column = static_cast<int32_t>(i) / layout.rows, row = static_cast<int32_t>(i) % layout.rows;
        const int32_t x = margin() + column * layout.columnWidth + layout.labelWidth;
        const int32_t y = margin() + row * (rowHeight() + gap());
        if (Gadget* box = addGadget(shown_.window(), GadgetKind::CheckBox, x, y, rowHeight(), rowHeight())) {
            box->text = names[i];
            paintGadget(shown_.window(), *box);
        }
    }
    if (names.empty())
        drawText(shown_.canvas(), margin(), margin(), u"Nothing to choose from.", guiColour(kColourDimText));
    shown_.addButtons({u"Cancel", u"OK"}, 1, 0);
    shown_.shown();
}

} // namespace hx
