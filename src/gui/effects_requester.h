// The effects requester: its layout, its list of pan effects and how OK and Cancel leave the
// settings. Each handler takes the gadget event that called it.
#ifndef STILLSET_GUI_EFFECTS_REQUESTER_H
#define STILLSET_GUI_EFFECTS_REQUESTER_H

#include "gadget_route.h"

#include "host/hxgui.h"

#include <cstdint>

struct EffectsGadgets {
    UgGadget addButton, removeButton, orderPopup, repeatPopup, listView;
};

// The gadgets of the open (or last) requester; all 0 after forgetEffectsRequester.
const EffectsGadgets& effectsGadgets();
// Start-up: the gadgets and staged settings of an earlier session are forgotten.
void forgetEffectsRequester();
// 0 when the requester stands with its popups showing the staged settings, -1 when the host could
// not open it (logged).
int32_t openEffectsRequester();
// One row per effect, labelled with its preset.
void fillEffectListView();
// The catalogue string that names pan preset `variant`: 500 + variant, 504 beyond the fourth.
int32_t presetLabel(uint32_t variant);
// A pan effect of preset `preset` goes in after the selected effect, and its row is selected.
void insertEffect(int32_t preset);

void onEffectsButton(const UgMessage& message);
void onAddEffect(const UgMessage& message);
void onRemoveEffect(const UgMessage& message);
void onEffectOrderPopup(const UgMessage& message);
void onEffectRepeatPopup(const UgMessage& message);
void onEffectsOk(const UgMessage& message);
void onEffectsCancel(const UgMessage& message);

// The requester's gadgets with their handlers, for the event loop.
GadgetRoutes effectsRoutes();

#endif
