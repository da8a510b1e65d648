// A transition's own settings panel: opened from the transitions requester, fed every event no other
// handler claims, and read back into the transition's preference block on OK.
#ifndef STILLSET_GUI_OPERATOR_SETTINGS_H
#define STILLSET_GUI_OPERATOR_SETTINGS_H

#include "host/hxgui.h"

void onTransitionSettings(const UgMessage& message);
void onOperatorGuiOk(const UgMessage& message);
void onOperatorGuiCancel(const UgMessage& message);
// An event no handler claimed goes to the open panel, which may change the operator's settings.
void passToOperatorGui(const UgMessage& message);
// Closes the open panel, if any: with `keep` its changes go into the transition's block first.
void finishOperatorGui(bool keep);

#endif
