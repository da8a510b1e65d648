#include "transition_settings_requester.h"

#include "layout_units.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"
#include "transitions_requester.h"
#include "stillset/session.h"

#include "host/hxmain.h"
#include "host/hxop.h"

#include <cstdlib>

namespace {

// The transition whose settings panel is open, its loaded operator and the host's panel.
struct PanelState {
    OperatorEntry* entry;
    HxOperator* op;     // owned while the panel is open: mainUnloadOperator
    OpGuiState* panel;  // owned while the panel is open: mainRemoveOpGui
    int32_t changed;
};

PanelState state;

// The operator's block replaces the entry's; on any failure the entry keeps its old one.
void takeBlock(OperatorEntry& entry, HxOperator* op)
{
    const uint32_t size = opGetPrefsSize(op);
    if (size == 0)
        return;
    void* block = std::malloc(size);
    if (!block)
        return;
    if (opGetPrefs(op, block, size) != 0) {
        std::free(block);
        return;
    }
    std::free(entry.prefs);
    entry.prefs = block;
    entry.prefsSize = size;
}

} // namespace

void forgetTransitionSettings()
{
    state = {};
}

int32_t openTransitionSettingsRequester(OperatorEntry* entry, HxOperator* op)
{
    if (!entry)
        return -1;
    const RowMeasures m = rowMeasures();
    // Room for a panel of five rows of gadgets.
    const int32_t width = 10 * GW(32) + 2 * CW(6) + 9 * CW(2) + 4;
    const int32_t height = 5 * (m.FH + m.AH) + 4 * CW(4) + 2 * CW(6) + 24;
    UgWindow* window =
        openRequester({operatorGuiRequest, width, height, kStrSettings, kTransitionSettingsRequesterFailed});
    if (!window)
        return -1;
    ugDrawBoxNew(window, 0, 0, width - 1, height - 1, 4, 5, 0, 0);
    endRequesterBuild();
    mainBuildOpGui(window, CW(6) + 2, CW(6) + 2, width - 2 * CW(6) - 4, height - 2 * CW(6) - 4, op, &state.panel);
    return 0;
}

const OperatorEntry* transitionWithOpenSettings()
{
    return state.entry;
}

void onTransitionSettings(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest] || session.requestOpen[operatorGuiRequest])
        return; // one panel at a time, and only from an open transitions requester
    OperatorEntry* entry = selectedTransition();
    if (!entry)
        return;
    HxOperator* op = mainLoadOperator(entry->name, 0);
    if (!op)
        return;
    if (entry->prefs)
        opSetPrefs(op, entry->prefs, entry->prefsSize);
    state = {entry, op, nullptr, 0};
    if (openTransitionSettingsRequester(entry, op) != 0) {
        mainUnloadOperator(op);
        state = {};
    }
}

void finishTransitionSettings(bool keep)
{
    if (!session.requestOpen[operatorGuiRequest])
        return;
    mainRemoveOpGui(requesterWindow(operatorGuiRequest), state.panel);
    closeRequester(operatorGuiRequest);
    if (keep && state.changed == 1 && state.entry)
        takeBlock(*state.entry, state.op);
    mainUnloadOperator(state.op);
    state = {};
}

void onTransitionSettingsOk(const UgMessage&)
{
    finishTransitionSettings(true);
}

void onTransitionSettingsCancel(const UgMessage&)
{
    finishTransitionSettings(false);
}

void passToTransitionSettings(const UgMessage& message)
{
    if (!session.requestOpen[operatorGuiRequest])
        return;
    int32_t unused1 = 0, unused2 = 0;
    if (mainDoOpGui(&message, state.panel, state.op, requesterWindow(transitionsRequest), 0, 1, 0, &unused1,
                    &unused2) == 0)
        state.changed = 1;
}

GadgetRoutes transitionSettingsRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[operatorGuiRequest].cancelGadget, onTransitionSettingsCancel},
        {&session.requests[operatorGuiRequest].okGadget, onTransitionSettingsOk},
    };
    return routes;
}
