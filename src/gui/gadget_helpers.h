// Gadgets as the tool's windows make them: shortcut keys, help texts, labels from the catalogue.
#ifndef STILLSET_GUI_GADGET_HELPERS_H
#define STILLSET_GUI_GADGET_HELPERS_H

#include "host/hxgui.h"

#include <cstdint>
#include <initializer_list>

// String `number` of the tool's catalogue (borrowed until the session ends).
const hxchar* catalogueText(int32_t number);
// A notice showing string `number` of the catalogue, answered before it returns.
void showNotice(int32_t number);
// The same, string `number` taking one number.
void showNotice(int32_t number, long value);
void setShortcut(UgWindow* window, UgGadget gadget, uint32_t key);
UgGadget textButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t text, uint32_t key);
// An image button of the tool's catalogue image `image` whose help text is string `help`.
UgGadget imageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t image, uint32_t key,
                     int32_t help);
UgGadget imageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const ResImage* image,
                     uint32_t key, int32_t help);
// The width of a popup label column: the widest of the labels plus its margins.
int32_t popupLabelColumn(const int32_t* labels, int32_t count);
// A popup with label string `label` left of it and entries strings first..last; the popup itself
// starts `labelColumn` right of x.
UgGadget labelledPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t labelColumn,
                       int32_t label, int32_t first, int32_t last, int32_t selected, uint32_t key);
// The ten duration entries (kStrDuration1Second to kStrDuration30Seconds) behind the label string
// `label`, which takes its width out of the popup's room.
UgGadget durationPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t label, int32_t selected);
// The width of a label column: the widest label with its margins, plus a small gap.
int32_t labelColumn(std::initializer_list<const hxchar*> labels);
// A check box whose label the toolkit draws left of it; `extension` serves all boxes of a window.
UgGadget labelledCheckBox(UgWindow* window, UgGadExt* extension, int32_t x, int32_t y, int32_t w, int32_t h,
                          const hxchar* label, bool checked, uint32_t key);
// The value of an info attribute of a gadget; 0 when the toolkit gives none.
int32_t gadgetInfo(UgWindow* window, UgGadget gadget, int32_t attribute);

#endif
