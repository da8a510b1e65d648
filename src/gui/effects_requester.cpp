#include "effects_requester.h"

#include "gadget_helpers.h"
#include "list_requester_layout.h"
#include "main_window.h"
#include "operator_list_view.h"
#include "pan_preset_requester.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "shortcut_keys.h"
#include "string_ids.h"
#include "stillset/pan_presets.h"
#include "stillset/session.h"

#include "host/hxmain.h"
#include "host/hxop.h"

#include <cstdlib>
#include <cstring>

namespace {

// The gadgets, and copies of the settings the popups change: OK commits them.
struct EffectsState {
    EffectsGadgets gadgets;
    int32_t stagedOrder, stagedRepeatCode;
};

EffectsState state;

constexpr char kPanOperator[] = "longterm/stillsetpan.opw";

ListView effectRows()
{
    return {effectsRequest, state.gadgets.listView};
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

const EffectsGadgets& effectsGadgets()
{
    return state.gadgets;
}

void forgetEffectsRequester()
{
    state = {};
}

int32_t openEffectsRequester()
{
    const ListRequesterLayout l = listRequesterLayout(1, 2);
    UgWindow* window = openRequester({effectsRequest, l.width, l.height, kStrEffectsTitle, kEffectsRequesterFailed});
    if (!window)
        return -1;
    drawListRequesterPanels(window, l);

    const int32_t x0 = leftPanelX(), iw = leftPanelWidth(l), BH = l.rows.BH;
    auto row = [&](int32_t k) { return leftPanelRow(l, k); };
    EffectsGadgets& g = state.gadgets;
    g.addButton = textButton(window, x0, row(0), iw, BH, kStrAdd, 'a');
    g.removeButton = textButton(window, x0, row(1), iw, BH, kStrRemove, kDeleteKey);
    const int32_t labels[] = {kStrOrderLabel, kStrRepeatLabel};
    const int32_t TL = popupLabelColumn(labels, 2);
    g.orderPopup = labelledPopup(window, x0, row(5), iw, BH, TL, kStrOrderLabel, kStrOrderAsListed, kStrOrderRandom,
                                 state.stagedOrder, 'o');
    g.repeatPopup = labelledPopup(window, x0, row(6), iw, BH, TL, kStrRepeatLabel, kStrRepeatOnce, kStrRepeat20Times,
                                  state.stagedRepeatCode, 'c');
    endRequesterBuild();
    g.listView = addListRequesterListView(window, l);
    return 0;
}

int32_t presetLabel(uint32_t variant)
{
    return variant <= 3 ? kStrPresetZoomIn + static_cast<int32_t>(variant) : kStrPresetBottomLeftToTopRight;
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
    state.stagedOrder = session.settings.effectOrder;
    state.stagedRepeatCode = session.settings.effectRepeatCode;
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
    state.stagedOrder = static_cast<int32_t>(message.value);
}

void onEffectRepeatPopup(const UgMessage& message)
{
    state.stagedRepeatCode = static_cast<int32_t>(message.value);
}

void onEffectsOk(const UgMessage&)
{
    if (!session.requestOpen[effectsRequest])
        return;
    closeRequester(panPresetRequest); // the preset list belongs to this requester
    closeRequester(effectsRequest);
    Settings& s = session.settings;
    s.effectOrder = state.stagedOrder;
    s.effectRepeatCode = state.stagedRepeatCode;
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

void insertEffect(int32_t preset)
{
    const ListView rows = effectRows();
    const int32_t r = rows.selectedRow();
    OperatorEntry* after = operatorAtRow(session.effectList, r);
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

GadgetRoutes effectsRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[effectsRequest].cancelGadget, onEffectsCancel},
        {&session.requests[effectsRequest].okGadget, onEffectsOk},
        {&state.gadgets.addButton, onAddEffect},
        {&state.gadgets.removeButton, onRemoveEffect},
        {&state.gadgets.orderPopup, onEffectOrderPopup},
        {&state.gadgets.repeatPopup, onEffectRepeatPopup},
    };
    return routes;
}
