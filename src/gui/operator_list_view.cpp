#include "operator_list_view.h"

#include "main_window.h"
#include "requester_frame.h"

#include <cstdlib>
#include <cstring>

int32_t ListView::info(int32_t attribute, int32_t fallback) const
{
    int32_t value = fallback;
    if (ugGetElementInfo(requesterWindow(slot), gadget, attribute, &value) != 0)
        return fallback;
    return value;
}

void ListView::change(int32_t attribute, intptr_t value, int32_t redraw) const
{
    ugChangeElement(requesterWindow(slot), gadget, attribute, value, redraw);
}

void ListView::add(int32_t attribute, const UgItem& row, int32_t redraw) const
{
    change(attribute, reinterpret_cast<intptr_t>(&row), redraw);
}

UgItem listRow(uint32_t flags, const hxchar* text, uint32_t user)
{
    UgItem row;
    std::memset(&row, 0, sizeof row);
    row.flags = flags;
    row.text = text;
    row.user = user;
    return row;
}

OperatorEntry* operatorAtRow(ListHead& list, int32_t row)
{
    return static_cast<OperatorEntry*>(ListNodeAt(&list, row + 1));
}

void dropOperator(ListHead& list, OperatorEntry* entry)
{
    ListRemove(&list, entry);
    freeOperatorEntry(entry);
}

void followListInCheckBox(const ListHead& list, int32_t& enabled, UgGadget box, bool checkWhenFilled)
{
    const bool filled = ListCount(&list) != 0;
    if (filled && !checkWhenFilled)
        return;
    enabled = filled ? 1 : 0;
    ugChangeElement(mainWindow(), box, UG_CHECK_SET, enabled, 1);
}
