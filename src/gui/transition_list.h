// The transitions requester at work: its list of transitions and jingle, its buttons and popups,
// and how OK and Cancel leave the settings. Each handler takes the gadget event that called it.
#ifndef STILLSET_GUI_TRANSITION_LIST_H
#define STILLSET_GUI_TRANSITION_LIST_H

#include "host/hxgui.h"

// One row per transition, the separator, then the jingle row when a jingle is chosen.
void fillTransitionListView();

void onTransitionsButton(const UgMessage& message);
void onAddTransition(const UgMessage& message);
void onRemoveTransition(const UgMessage& message);
void onJingleButton(const UgMessage& message);
void onTransitionLengthPopup(const UgMessage& message);
void onTransitionOrderPopup(const UgMessage& message);
void onTransitionRepeatPopup(const UgMessage& message);
void onTransitionsOk(const UgMessage& message);
void onTransitionsCancel(const UgMessage& message);

#endif
