// The effects requester at work: its list of pan effects, the preset list that adds one, and how
// OK and Cancel leave the settings. Each handler takes the gadget event that called it.
#ifndef STILLSET_GUI_EFFECT_LIST_H
#define STILLSET_GUI_EFFECT_LIST_H

#include "host/hxgui.h"

#include <cstdint>

// One row per effect, labelled with its preset.
void fillEffectListView();
// The catalogue string that names pan preset `variant`: 500 + variant, 504 beyond the fourth.
int32_t presetLabel(uint32_t variant);

void onEffectsButton(const UgMessage& message);
void onAddEffect(const UgMessage& message);
void onRemoveEffect(const UgMessage& message);
void onEffectOrderPopup(const UgMessage& message);
void onEffectRepeatPopup(const UgMessage& message);
void onEffectsOk(const UgMessage& message);
void onEffectsCancel(const UgMessage& message);
void onPanPresetOk(const UgMessage& message);
void onPanPresetCancel(const UgMessage& message);

#endif
