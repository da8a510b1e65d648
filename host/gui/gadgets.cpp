// Making gadgets: every kind the toolkit offers, with copies of what the program hands over.
#include "gui/model.h"

#include "gui/gadget_look.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "hxhost/testing.h"

#include <algorithm>
#include <new>

namespace {

void deleteExtension(UgGadExt* extension)
{
    delete extension;
}

hx::LiveRegistry<UgGadExt*>& liveExtensions()
{
    static hx::LiveRegistry<UgGadExt*> extensions{&hxhost::LiveCounts::gadgetExtensions, hx::OnReset::Release,
                                                   deleteExtension};
    return extensions;
}

hx::Gadget* make(const char* service, UgWindow* window, hx::GadgetKind kind, int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (hx::shouldFail(service))
        return nullptr;
    return hx::addGadget(window, kind, x, y, w, h);
}

UgGadget finish(UgWindow* window, hx::Gadget* gadget)
{
    if (!gadget)
        return 0;
    hx::paintGadget(window, *gadget);
    return gadget->id;
}

} // namespace

extern "C" {

UgGadget ugAddTextButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const hxchar* text, uint32_t, uint32_t) HX_ENTRY
{
    hx::Gadget* g = make("ugAddTextButton", window, hx::GadgetKind::TextButton, x, y, w, h);
    if (g && text)
        g->text = text;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddImageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const ResImage* image, uint32_t,
                          uint32_t) HX_ENTRY
{
    hx::Gadget* g = make("ugAddImageButton", window, hx::GadgetKind::ImageButton, x, y, w, h);
    if (g)
        g->image = hx::copyIcon(image);
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddCheckBox(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t checked, uint32_t,
                       UgGadExt* extension) HX_ENTRY
{
    hx::Gadget* g = make("ugAddCheckBox", window, hx::GadgetKind::CheckBox, x, y, w, h);
    if (!g)
        return 0;
    g->state = checked ? 1 : 0;
    if (extension && extension->labelEnabled == 1 && extension->label)
        g->text = extension->label;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, ListHead* items, int32_t selected,
                    const hxchar* label, uint32_t, uint32_t) HX_ENTRY
{
    hx::Gadget* g = make("ugAddPopup", window, hx::GadgetKind::Popup, x, y, w, h);
    if (!g)
        return 0;
    g->items = hx::copyItems(items);
    // Staged values are 32-bit words whose low 16 bits choose the entry.
    const int32_t entry = static_cast<int16_t>(selected & 0xFFFF);
    g->selected = entry >= 0 && entry < static_cast<int32_t>(g->items.size()) ? entry : (g->items.empty() ? -1 : 0);
    if (label)
        g->text = label;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddSlider(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t minimum, int32_t maximum,
                     int32_t value, const hxchar* label, const hxchar* format, uint32_t, UgSliderExt* extension) HX_ENTRY
{
    if (minimum > maximum)
        return 0;
    hx::Gadget* g = make("ugAddSlider", window, hx::GadgetKind::Slider, x, y, w, h);
    if (!g)
        return 0;
    g->minimum = minimum;
    g->maximum = maximum;
    g->value = std::clamp(value, minimum, maximum);
    if (label)
        g->text = label;
    if (format)
        g->format = format;
    if (extension)
        g->valueWidth = extension->valueWidth;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddListview(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, ListHead* items, uint32_t, uint32_t,
                       uint32_t) HX_ENTRY
{
    hx::Gadget* g = make("ugAddListview", window, hx::GadgetKind::ListView, x, y, w, h);
    if (g)
        g->items = hx::copyItems(items);
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddGridview(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t cellWidth, int32_t cellHeight,
                       ListHead* items, int32_t, uint32_t flags, UgGadExt* extension) HX_ENTRY
{
    if (cellWidth <= 0 || cellHeight <= 0)
        return 0;
    hx::Gadget* g = make("ugAddGridview", window, hx::GadgetKind::GridView, x, y, w, h);
    if (!g)
        return 0;
    g->cellWidth = cellWidth;
    g->cellHeight = cellHeight;
    g->flags = flags;
    g->items = hx::copyItems(items);
    if (extension)
        g->painter = extension->painter;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadget ugAddClickGadget(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t flags, uint32_t) HX_ENTRY
{
    hx::Gadget* g = make("ugAddClickGadget", window, hx::GadgetKind::ClickArea, x, y, w, h);
    if (g)
        g->flags = flags;
    return finish(window, g);
}
HX_ENTRY_FAILS(0)

UgGadExt* ugAllocGadExt(void) HX_ENTRY
{
    if (hx::shouldFail("ugAllocGadExt"))
        return nullptr;
    auto* extension = new (std::nothrow) UgGadExt{};
    if (extension)
        liveExtensions().add(extension);
    return extension;
}
HX_ENTRY_FAILS(nullptr)

void ugFreeGadExt(UgGadExt* extension) HX_ENTRY
{
    hx::countCall("ugFreeGadExt");
    if (liveExtensions().remove(extension))
        delete extension;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
