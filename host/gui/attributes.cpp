// Changing and reading gadgets through attribute codes.
#include "gui/model.h"

#include "gui/gadget_look.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

namespace {

using hx::Gadget;
using hx::GadgetKind;

bool inRange(const Gadget& g, intptr_t position)
{
    return position >= 0 && position < static_cast<intptr_t>(g.items.size());
}

bool insertItem(Gadget& g, intptr_t record, size_t at)
{
    if (!record || g.items.size() >= hx::kMaxItems)
        return false;
    g.items.insert(g.items.begin() + static_cast<ptrdiff_t>(at), hx::copyItem(*reinterpret_cast<const UgItem*>(record)));
    if (g.selected >= static_cast<int32_t>(at))
        ++g.selected;
    return true;
}

// After a deletion the selection stays at its position, or moves to the new last item.
bool deleteItem(Gadget& g, intptr_t position)
{
    if (!inRange(g, position))
        return false;
    g.items.erase(g.items.begin() + position);
    const int32_t count = static_cast<int32_t>(g.items.size());
    if (g.selected > position || g.selected >= count)
        --g.selected;
    if (g.selected >= count)
        g.selected = count - 1;
    return true;
}

bool select(Gadget& g, intptr_t position)
{
    if (position != -1 && !inRange(g, position))
        return false;
    g.selected = static_cast<int32_t>(position);
    hx::keepSelectionShown(g);
    return true;
}

bool replaceItems(Gadget& g, intptr_t head)
{
    g.items = hx::copyItems(reinterpret_cast<const ListHead*>(head));
    g.selected = -1;
    g.firstRow = 0;
    return true;
}

bool setHelp(Gadget& g, intptr_t number)
{
    g.helpString = static_cast<int32_t>(number);
    g.helpText.clear();
    if (g.helpCatalogue)
        if (const hxchar* text = resGetString(g.helpCatalogue, g.helpString))
            g.helpText = text;
    return true;
}

// Applies the change; false when the attribute does not fit the gadget or the value is out of range.
bool change(Gadget& g, int32_t attribute, intptr_t value, bool& forceRedraw)
{
    const GadgetKind kind = g.kind;
    const bool grid = kind == GadgetKind::GridView, list = kind == GadgetKind::ListView;
    switch (attribute) {
    case UG_GRID_SELECT: return grid && select(g, value);
    case UG_GRID_DELETE: return grid && deleteItem(g, value);
    case UG_GRID_REDRAW: forceRedraw = true; return grid;
    case UG_GRID_APPEND: return grid && insertItem(g, value, g.items.size());
    case UG_GRID_INSERT_FIRST: return grid && insertItem(g, value, 0);
    case UG_GRID_INSERT_AFTER_SELECTED: return grid && insertItem(g, value, static_cast<size_t>(g.selected + 1));
    case UG_LIST_SELECT: return list && select(g, value);
    case UG_LIST_DELETE: return list && deleteItem(g, value);
    case UG_LIST_REDRAW: forceRedraw = true; return list;
    case UG_LIST_APPEND: return list && insertItem(g, value, g.items.size());
    case UG_LIST_INSERT_FIRST: return list && insertItem(g, value, 0);
    case UG_LIST_INSERT_AFTER_SELECTED: return list && insertItem(g, value, static_cast<size_t>(g.selected + 1));
    case UG_POPUP_SELECT: return kind == GadgetKind::Popup && inRange(g, value) && select(g, value);
    case UG_SHORTCUT: g.key = static_cast<uint32_t>(value); return true;
    case UG_GRID_REPLACE_LIST: forceRedraw = true; return grid && replaceItems(g, value);
    case UG_CHECK_SET:
        if (kind != GadgetKind::CheckBox)
            return false;
        g.state = value ? 1 : 0;
        return true;
    case UG_HELP_CATALOGUE: g.helpCatalogue = reinterpret_cast<ResStrings*>(value); return true;
    case UG_HELP_STRING: return setHelp(g, value);
    case UG_GRID_REDRAW_ITEM: forceRedraw = true; return grid && inRange(g, value);
    default: return false;
    }
}

bool read(const Gadget& g, int32_t attribute, int32_t& result)
{
    const GadgetKind kind = g.kind;
    const bool grid = kind == GadgetKind::GridView, list = kind == GadgetKind::ListView;
    switch (attribute) {
    case UG_LIST_SELECTED:
        result = g.selected;
        return list;
    case UG_LIST_SELECTED_USER:
        if (!list || !inRange(g, g.selected))
            return false;
        result = static_cast<int32_t>(g.items[static_cast<size_t>(g.selected)].record.user);
        return true;
    case UG_GRID_SELECTED:
        result = g.selected;
        return grid;
    case UG_LIST_COUNT:
        result = static_cast<int32_t>(g.items.size());
        return list || grid || kind == GadgetKind::Popup;
    case UG_CHECK_STATE:
        result = g.state;
        return kind == GadgetKind::CheckBox;
    case UG_SLIDER_VALUE:
        result = g.value;
        return kind == GadgetKind::Slider;
    case UG_POPUP_SELECTED:
        result = g.selected;
        return kind == GadgetKind::Popup;
    case UG_SHORTCUT:
        result = static_cast<int32_t>(g.key);
        return true;
    case UG_GRID_DRAG_SOURCE:
        result = g.lastDragSource;
        return grid;
    default:
        return false;
    }
}

} // namespace

extern "C" {

int32_t ugChangeElement(UgWindow* window, UgGadget gadget, int32_t attribute, intptr_t value, int32_t redraw) HX_ENTRY
{
    hx::countCall("ugChangeElement");
    Gadget* g = hx::findGadget(window, gadget);
    bool forceRedraw = false;
    if (!g || !change(*g, attribute, value, forceRedraw))
        return -1;
    if (attribute == UG_SHORTCUT || attribute == UG_HELP_CATALOGUE || attribute == UG_HELP_STRING)
        return 0; // nothing to see
    if (redraw || forceRedraw)
        hx::paintGadget(window, *g);
    else
        g->dirty = true;
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t ugGetElementInfo(UgWindow* window, UgGadget gadget, int32_t attribute, void* result) HX_ENTRY
{
    hx::countCall("ugGetElementInfo");
    const Gadget* g = hx::findGadget(window, gadget);
    int32_t value = 0;
    if (!g || !result || !read(*g, attribute, value))
        return -1;
    *static_cast<int32_t*>(result) = value;
    return 0;
}
HX_ENTRY_FAILS(-1)

} // extern "C"
