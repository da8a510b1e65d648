// The host's pickers as a person sees them: a check box for each name offered, in columns, with OK
// and Cancel. The person ticks one or several; the ticked boxes are the choice.
#ifndef HX_GUI_REQUESTERS_PICKER_WINDOW_H
#define HX_GUI_REQUESTERS_PICKER_WINDOW_H

#include "gui/requesters/modal_window.h"

#include <string>
#include <vector>

namespace hx {

class PickerWindow {
public:
    // As many of the names as fit on the screen get a box, in order.
    PickerWindow(const std::u16string& title, const std::vector<std::u16string>& names);
    size_t namesShown() const { return shownCount_; }

private:
    ModalWindow shown_;
    size_t shownCount_ = 0;
};

} // namespace hx

#endif
