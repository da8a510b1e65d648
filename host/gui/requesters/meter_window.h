// A progress meter as a person sees it: its title, a bar filled to the steps done, the count, and a
// Stop button (the window's Cancel) that stops the work.
#ifndef HX_GUI_REQUESTERS_METER_WINDOW_H
#define HX_GUI_REQUESTERS_METER_WINDOW_H

#include "gui/requesters/modal_window.h"

#include <cstdint>
#include <string>

namespace hx {

class MeterWindow {
public:
    MeterWindow(const std::u16string& title, uint32_t steps);
    // Shows `done` of the steps; draws only when the picture changes.
    void show(int32_t done);

private:
    ModalWindow shown_;
    uint32_t steps_;
    int32_t filled_ = -1;
    int32_t done_ = -1;
};

} // namespace hx

#endif
