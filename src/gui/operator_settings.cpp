#include "operator_settings.h"

#include "chooser_requesters.h"
#include "chooser_state.h"
#include "operator_list_view.h"
#include "requester_frame.h"
#include "stillset/session.h"

#include "host/hxmain.h"
#include "host/hxop.h"

#include <cstdlib>

namespace {

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

void onTransitionSettings(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest] || session.requestOpen[operatorGuiRequest])
        return; // one panel at a time, and only from an open transitions requester
    const ListView rows{transitionsRequest, choosers.transitionListView};
    OperatorEntry* entry = operatorAtRow(session.transitionList, rows.selectedRow());
    if (!entry)
        return;
    HxOperator* op = mainLoadOperator(entry->name, 0);
    if (!op)
        return;
    if (entry->prefs)
        opSetPrefs(op, entry->prefs, entry->prefsSize);
    choosers.opGuiEntry = entry;
    choosers.opGuiOperator = op;
    choosers.opGuiState = nullptr;
    choosers.opGuiChanged = 0;
    if (openOperatorGuiRequester(entry, op) != 0) {
        mainUnloadOperator(op);
        choosers.opGuiEntry = nullptr;
        choosers.opGuiOperator = nullptr;
    }
}

void finishOperatorGui(bool keep)
{
    if (!session.requestOpen[operatorGuiRequest])
        return;
    mainRemoveOpGui(requesterWindow(operatorGuiRequest), choosers.opGuiState);
    closeRequester(operatorGuiRequest);
    if (keep && choosers.opGuiChanged == 1 && choosers.opGuiEntry)
        takeBlock(*choosers.opGuiEntry, choosers.opGuiOperator);
    mainUnloadOperator(choosers.opGuiOperator);
    choosers.opGuiEntry = nullptr;
    choosers.opGuiOperator = nullptr;
    choosers.opGuiState = nullptr;
    choosers.opGuiChanged = 0;
}

void onOperatorGuiOk(const UgMessage&)
{
    finishOperatorGui(true);
}

void onOperatorGuiCancel(const UgMessage&)
{
    finishOperatorGui(false);
}

void passToOperatorGui(const UgMessage& message)
{
    if (!session.requestOpen[operatorGuiRequest])
        return;
    int32_t unused1 = 0, unused2 = 0;
    if (mainDoOpGui(&message, choosers.opGuiState, choosers.opGuiOperator, requesterWindow(transitionsRequest), 0, 1, 0,
                    &unused1, &unused2) == 0)
        choosers.opGuiChanged = 1;
}
