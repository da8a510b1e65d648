// Pieces every requester of the tool is built from: the window itself, buttons, popups and the
// measure of a list row.
#ifndef STILLSET_GUI_REQUESTER_WINDOW_H
#define STILLSET_GUI_REQUESTER_WINDOW_H

#include "stillset/session.h"

#include "host/hxgui.h"

#include <cstdint>

// Opens the requester of `slot` (width x height, title string `title`) on the session's queue and
// sets its requestOpen flag. Null when the host refuses: logged at level 4 with `failureLine`, refresh
// switched back on for the monitor, nothing else changed.
UgWindow* openRequestWindow(RequestSlot slot, int32_t width, int32_t height, int32_t title, int32_t monitor,
                            int32_t failureLine);
// Deletes the requester of `slot` when it is open and clears its flag.
void closeRequestWindow(RequestSlot slot);
// The requester's window while it is open, else null.
UgWindow* requestWindow(RequestSlot slot);

void setShortcut(UgWindow* window, UgGadget gadget, uint32_t key);
UgGadget textButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t text, uint32_t key);
// The width of a popup label column: the widest of the labels plus its margins.
int32_t popupLabelColumn(const int32_t* labels, int32_t count);
// A popup with label string `label` left of it and entries strings first..last; the popup itself
// starts `labelColumn` right of x.
UgGadget labelledPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t labelColumn,
                       int32_t label, int32_t first, int32_t last, int32_t selected, uint32_t key);

// The height of one list view row: the font and a gap above and below that grows on video screens.
int32_t listRowHeight();

#endif
