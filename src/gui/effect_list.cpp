#include "effect_list.h"

#include "chooser_requesters.h"
#include "chooser_state.h"
#include "main_window.h"
#include "operator_list_view.h"
#include "requester_frame.h"
#include "stillset/pan_presets.h"
#include "stillset/session.h"

#include "host/hxmain.h"
#include "host/hxop.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kPanOperator[] = "longterm/stillsetpan.opw";

ListView effectRows()
{
    return {effectsRequest, choosers.effectListView};
}

UgItem effectRow(uint32_t variant)
{
    return listRow(UG_ITEM_TEXT_ROW, resGetString(session.stringCatalogue, presetLabel(variant)), 0);
}

// The pan operator's block filled from the preset's file; without the operator or the file, none.
void givePresetBlock(OperatorEntry& entry)
{
    HxOperator* op = mainLoadOperator(entry.name, 1);
    if (!op)
        return;
    const uint32_t size = opGetPrefsSize(op);
    if (size != 0) {
        void* block = std::malloc(size);
        if (block && readPanPreset(block, size, static_cast<int32_t>(entry.variant)) == 0) {
            entry.prefs = block;
            entry.prefsSize = size;
        } else {
            std::free(block);
        }
    }
    mainUnloadOperator(op);
}

} // namespace

int32_t presetLabel(uint32_t variant)
{
    return variant <= 3 ? 500 + static_cast<int32_t>(variant) : 504;
}

void fillEffectListView()
{
    const ListView rows = effectRows();
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.effectList)); entry;
         entry = static_cast<OperatorEntry*>(ListNext(entry)))
        rows.add(UG_LIST_APPEND, effectRow(entry->variant), 0);
    rows.change(UG_LIST_REDRAW, 0, 1);
}

void onEffectsButton(const UgMessage&)
{
    if (session.requestOpen[effectsRequest])
        return; // one effects requester at a time
    choosers.stagedEffectOrder = session.settings.effectOrder;
    choosers.stagedEffectRepeatCode = session.settings.effectRepeatCode;
    if (openEffectsRequester() == 0)
        fillEffectListView();
}

void onAddEffect(const UgMessage&)
{
    if (session.requestOpen[effectsRequest] && !session.requestOpen[panPresetRequest])
        openPanPresetRequester();
}

void onRemoveEffect(const UgMessage&)
{
    if (!session.requestOpen[effectsRequest])
        return;
    const ListView rows = effectRows();
    const int32_t r = rows.selectedRow();
    OperatorEntry* entry = operatorAtRow(session.effectList, r);
    if (!entry)
        return;
    rows.change(UG_LIST_DELETE, r, 1);
    dropOperator(session.effectList, entry);
}

void onEffectOrderPopup(const UgMessage& message)
{
    choosers.stagedEffectOrder = static_cast<int32_t>(message.value);
}

void onEffectRepeatPopup(const UgMessage& message)
{
    choosers.stagedEffectRepeatCode = static_cast<int32_t>(message.value);
}

void onEffectsOk(const UgMessage&)
{
    if (!session.requestOpen[effectsRequest])
        return;
    closeRequester(panPresetRequest); // the preset list belongs to this requester
    closeRequester(effectsRequest);
    Settings& s = session.settings;
    s.effectOrder = choosers.stagedEffectOrder;
    s.effectRepeatCode = choosers.stagedEffectRepeatCode;
    followListInCheckBox(session.effectList, s.effectsEnabled, mainGadgets.effectsCheckBox, true);
}

void onEffectsCancel(const UgMessage&)
{
    if (!session.requestOpen[effectsRequest])
        return;
    closeRequester(panPresetRequest);
    closeRequester(effectsRequest);
    followListInCheckBox(session.effectList, session.settings.effectsEnabled, mainGadgets.effectsCheckBox, false);
}

void onPanPresetOk(const UgMessage&)
{
    if (!session.requestOpen[panPresetRequest])
        return;
    const ListView rows = effectRows();
    const int32_t r = rows.selectedRow();
    OperatorEntry* after = operatorAtRow(session.effectList, r);
    const int32_t preset = ListView{panPresetRequest, choosers.panPresetListView}.selectedRow();
    closeRequester(panPresetRequest);
    if (preset < 0)
        return; // OK without a preset chosen adds nothing

    auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
    if (!entry)
        return;
    entry->name = strdup(kPanOperator);
    if (!entry->name) {
        std::free(entry);
        return;
    }
    entry->variant = static_cast<uint32_t>(preset);
    ListInsertAfter(&session.effectList, after, entry);
    givePresetBlock(*entry);

    rows.add(UG_LIST_INSERT_AFTER_SELECTED, effectRow(entry->variant), 0);
    rows.change(UG_LIST_SELECT, r + 1, 1);
    rows.change(UG_LIST_REDRAW, 0, 1);
}

void onPanPresetCancel(const UgMessage&)
{
    closeRequester(panPresetRequest);
}
