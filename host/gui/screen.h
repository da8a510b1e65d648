// The configured screen, the toolkit's measures that follow it, and what the screen shows.
#ifndef HX_GUI_SCREEN_H
#define HX_GUI_SCREEN_H

#include "hxhost/gui.h"

#include <cstdint>

namespace hx {

struct ScreenConfig {
    int32_t width = 1920;
    int32_t height = 1080;
    int32_t monitor = 1;
    int32_t videoMode = 0;
    int32_t dviMode = 0;
};

ScreenConfig& screenConfig();
void resetScreen();

// Layout units: 1280 across and 720 down fill the screen.
int32_t convertWidth(int32_t units);
int32_t convertHeight(int32_t units);
int32_t fontHeight();
int32_t addHeight();
int32_t rowHeight();     // a row of gadgets: font height + added height + 4
int32_t listRowHeight(); // a row of a list view

// Marks the screen as changed; while refresh is off the change shows only when it comes back on.
void screenChanged();
void disableRefresh();
// Returns true when refresh came fully back on.
bool enableRefresh();
hxhost::Picture visibleScreen();

} // namespace hx

#endif
