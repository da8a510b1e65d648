// The transitions requester: its layout, its list of transitions and the jingle, its buttons and
// popups, and how OK and Cancel leave the settings. Each handler takes the gadget event that called it.
#ifndef STILLSET_GUI_TRANSITIONS_REQUESTER_H
#define STILLSET_GUI_TRANSITIONS_REQUESTER_H

#include "gadget_route.h"
#include "stillset/operator_list_node.h"

#include "host/hxgui.h"

#include <cstdint>

struct TransitionsGadgets {
    UgGadget addButton, settingsButton, jingleButton, removeButton;
    UgGadget lengthPopup, orderPopup, repeatPopup, listView;
};

// The gadgets of the open (or last) requester; all 0 after forgetTransitionsRequester.
const TransitionsGadgets& transitionsGadgets();
// Start-up: the gadgets and staged settings of an earlier session are forgotten.
void forgetTransitionsRequester();
// 0 when the requester stands with its popups showing the staged settings, -1 when the host could
// not open it (logged).
int32_t openTransitionsRequester();
// One row per transition, the separator, then the jingle row when a jingle is chosen.
void fillTransitionListView();
// The transition at the selected row, or null on the separator, the jingle or no selection.
OperatorEntry* selectedTransition();

void onTransitionsButton(const UgMessage& message);
void onAddTransition(const UgMessage& message);
void onRemoveTransition(const UgMessage& message);
void onJingleButton(const UgMessage& message);
void onTransitionLengthPopup(const UgMessage& message);
void onTransitionOrderPopup(const UgMessage& message);
void onTransitionRepeatPopup(const UgMessage& message);
void onTransitionsOk(const UgMessage& message);
void onTransitionsCancel(const UgMessage& message);

// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes transitionsRoutes();

#endif
