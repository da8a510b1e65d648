// A transition's own settings panel: opened from the transitions requester, fed every event no other
// handler claims, and read back into the transition's preference block on OK.
#ifndef STILLSET_GUI_TRANSITION_SETTINGS_REQUESTER_H
#define STILLSET_GUI_TRANSITION_SETTINGS_REQUESTER_H

#include "gadget_route.h"
#include "stillset/operator_list_node.h"

#include "host/hxgui.h"
#include "host/hxmain.h"

#include <cstdint>

// Start-up: the panel of an earlier session is forgotten (its operator was unloaded at shutdown).
void forgetTransitionSettings();
// The panel of `entry`'s transition, 0 when it stands and -1 when the host could not open it
// (logged); `op` is loaded for it with its stored block applied. A null entry opens nothing.
int32_t openTransitionSettingsRequester(OperatorEntry* entry, HxOperator* op);
// The transition whose panel is open, or null.
const OperatorEntry* transitionWithOpenSettings();

void onTransitionSettings(const UgMessage& message);
void onTransitionSettingsOk(const UgMessage& message);
void onTransitionSettingsCancel(const UgMessage& message);
// An event no handler claimed goes to the open panel, which may change the operator's settings.
void passToTransitionSettings(const UgMessage& message);
// Closes the open panel, if any: with `keep` its changes go into the transition's block first.
void finishTransitionSettings(bool keep);

// The panel's OK and Cancel with their handlers, for the event loop.
GadgetRoutes transitionSettingsRoutes();

#endif
