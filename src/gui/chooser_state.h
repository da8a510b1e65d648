// What the transitions, effects, operator settings and pan preset requesters keep while they are
// open: their gadgets, the settings their popups stage, and the operator whose panel is shown.
#ifndef STILLSET_GUI_CHOOSER_STATE_H
#define STILLSET_GUI_CHOOSER_STATE_H

#include "stillset/operator_entry.h"

#include "host/hxgui.h"
#include "host/hxmain.h"

#include <cstdint>

struct ChooserState {
    // The transitions requester.
    UgGadget addTransitionButton, transitionSettingsButton, jingleButton, removeTransitionButton;
    UgGadget transitionLengthPopup, transitionOrderPopup, transitionRepeatPopup, transitionListView;
    // The effects requester.
    UgGadget addEffectButton, removeEffectButton, effectOrderPopup, effectRepeatPopup, effectListView;
    // The pan preset requester.
    UgGadget panPresetListView;
    // Copies of the settings the open requesters' popups change; OK commits them.
    int32_t stagedTransitionLengthCode, stagedTransitionOrder, stagedTransitionRepeatCode;
    int32_t stagedEffectOrder, stagedEffectRepeatCode;
    // The transition whose settings panel is open, its loaded operator and the host's panel.
    OperatorEntry* opGuiEntry;
    HxOperator* opGuiOperator; // owned while the panel is open: mainUnloadOperator
    OpGuiState* opGuiState;    // owned while the panel is open: mainRemoveOpGui
    int32_t opGuiChanged;
};

extern ChooserState choosers;

// Forgets the gadgets and the panel of an earlier session.
void resetChoosers();

#endif
