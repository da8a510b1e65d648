// What the transitions and effects lists share: reading and changing their list views, the
// operator shown at a row, and the check box on the main window that follows whether a list is empty.
#ifndef STILLSET_GUI_OPERATOR_LIST_VIEW_H
#define STILLSET_GUI_OPERATOR_LIST_VIEW_H

#include "stillset/operator_list_node.h"
#include "stillset/session.h"

#include "host/hxgui.h"

#include <cstdint>

// A list view of the requester in `slot`.
struct ListView {
    RequestSlot slot;
    UgGadget gadget;

    // What the list view answers for an info attribute, or `fallback` when it answers nothing.
    int32_t info(int32_t attribute, int32_t fallback) const;
    int32_t selectedRow() const { return info(UG_LIST_SELECTED, -1); }
    void change(int32_t attribute, intptr_t value, int32_t redraw) const;
    void add(int32_t attribute, const UgItem& row, int32_t redraw) const;
};

// A cleared row record.
UgItem listRow(uint32_t flags, const hxchar* text, uint32_t user);
// The operator of `list` shown at row `row` (rows count from 0), or null.
OperatorEntry* operatorAtRow(ListHead& list, int32_t row);
// Unlinks the entry and frees it.
void dropOperator(ListHead& list, OperatorEntry* entry);
// An empty list turns its choice off and unchecks its box; with `checkWhenFilled` a filled one turns
// it on and checks it.
void followListInCheckBox(const ListHead& list, int32_t& enabled, UgGadget box, bool checkWhenFilled);

#endif
