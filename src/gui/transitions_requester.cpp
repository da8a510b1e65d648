#include "transitions_requester.h"

#include "gadget_helpers.h"
#include "list_requester_layout.h"
#include "main_window.h"
#include "operator_list_view.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "shortcut_keys.h"
#include "string_ids.h"
#include "transition_settings_requester.h"
#include "stillset/jingle_choice.h"
#include "stillset/session.h"

#include "host/hxmain.h"
#include "host/hxtext.h"

#include <cstdlib>
#include <cstring>

namespace {

// The gadgets, and copies of the settings the popups change: OK commits them.
struct TransitionsState {
    TransitionsGadgets gadgets;
    int32_t stagedLengthCode, stagedOrder, stagedRepeatCode;
};

TransitionsState state;

constexpr uint32_t kTransitionRow = 0;
constexpr uint32_t kJingleRow = 1;
constexpr uint32_t kSeparatorRow = 2;
constexpr int32_t kJingleImage = 34;
constexpr char kTransitionPrefix[] = "transition/";
constexpr size_t kPrefixLength = sizeof kTransitionPrefix - 1;

ListView transitionRows()
{
    return {transitionsRequest, state.gadgets.listView};
}

// The operator's display name; a transition the host no longer offers shows its file name.
const hxchar* rowText(const OperatorEntry& entry, hxchar* fallback, size_t size)
{
    if (const hxchar* name = mainGetOperatorName(entry.name, 0))
        return name;
    size_t i = 0;
    for (const char* c = entry.name + kPrefixLength; *c && i + 1 < size; ++c)
        fallback[i++] = static_cast<unsigned char>(*c);
    fallback[i] = 0;
    return fallback;
}

UgItem jingleRow()
{
    UgItem row = listRow(UG_ITEM_IMAGE_ROW, session.settings.jingleName, kJingleRow);
    row.image = resGetImage(session.imageCatalogue, kJingleImage);
    return row;
}

// A new entry "transition/<name>", or null when memory fails.
OperatorEntry* newTransition(const char* name)
{
    auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
    if (!entry)
        return nullptr;
    const size_t length = std::strlen(name);
    entry->name = static_cast<char*>(std::malloc(kPrefixLength + length + 1));
    if (!entry->name) {
        std::free(entry);
        return nullptr;
    }
    std::memcpy(entry->name, kTransitionPrefix, kPrefixLength);
    std::memcpy(entry->name + kPrefixLength, name, length + 1);
    return entry;
}

// Puts the new transition's row among the transition rows: after the selected transition, or after
// the last one when the separator or the jingle row is selected.
void insertTransitionRow(const OperatorEntry& entry)
{
    const ListView rows = transitionRows();
    hxchar fallback[256];
    const UgItem row = listRow(UG_ITEM_TEXT_ROW, rowText(entry, fallback, 256), kTransitionRow);
    const int32_t r = rows.selectedRow();
    const int32_t k = rows.info(UG_LIST_SELECTED_USER, -1);
    int32_t at = r + 1;
    if (k == static_cast<int32_t>(kSeparatorRow)) {
        if (r > 0) {
            rows.change(UG_LIST_SELECT, r - 1, 0);
            rows.add(UG_LIST_INSERT_AFTER_SELECTED, row, 0);
            at = r;
        } else {
            rows.add(UG_LIST_INSERT_FIRST, row, 0);
            at = 0;
        }
    } else if (k == static_cast<int32_t>(kJingleRow)) {
        if (r == 1) {
            rows.add(UG_LIST_INSERT_FIRST, row, 0);
            at = 0;
        } else {
            rows.change(UG_LIST_SELECT, r - 2, 0);
            rows.add(UG_LIST_INSERT_AFTER_SELECTED, row, 0);
            at = r - 1;
        }
    } else {
        rows.add(UG_LIST_INSERT_AFTER_SELECTED, row, 0);
    }
    rows.change(UG_LIST_SELECT, at, 1);
}

void replaceHeapText(char*& text, const char* with)
{
    std::free(text);
    text = with ? strdup(with) : nullptr;
}

} // namespace

const TransitionsGadgets& transitionsGadgets()
{
    return state.gadgets;
}

void forgetTransitionsRequester()
{
    state = {};
}

int32_t openTransitionsRequester()
{
    const ListRequesterLayout l = listRequesterLayout(7, 10);
    UgWindow* window =
        openRequester({transitionsRequest, l.width, l.height, kStrTransitionsTitle, kTransitionsRequesterFailed});
    if (!window)
        return -1;
    drawListRequesterPanels(window, l);

    const int32_t x0 = leftPanelX(), iw = leftPanelWidth(l), BH = l.rows.BH;
    auto row = [&](int32_t k) { return leftPanelRow(l, k); };
    TransitionsGadgets& g = state.gadgets;
    g.addButton = textButton(window, x0, row(0), iw, BH, kStrAdd, 'a');
    g.settingsButton = textButton(window, x0, row(1), iw, BH, kStrSettings, 's');
    g.jingleButton = textButton(window, x0, row(2), iw, BH, kStrMusic, 'm');
    g.removeButton = textButton(window, x0, row(3), iw, BH, kStrRemove, kDeleteKey);
    const int32_t labels[] = {kStrLengthLabel, kStrOrderLabel, kStrRepeatLabel};
    const int32_t TL = popupLabelColumn(labels, 3);
    g.lengthPopup = labelledPopup(window, x0, row(5), iw, BH, TL, kStrLengthLabel, kStrLength0_2Seconds,
                                  kStrLength10Seconds, state.stagedLengthCode, 't');
    g.orderPopup = labelledPopup(window, x0, row(6), iw, BH, TL, kStrOrderLabel, kStrOrderAsListed, kStrOrderRandom,
                                 state.stagedOrder, 'o');
    g.repeatPopup = labelledPopup(window, x0, row(7), iw, BH, TL, kStrRepeatLabel, kStrRepeatOnce, kStrRepeat20Times,
                                  state.stagedRepeatCode, 'c');
    endRequesterBuild();
    g.listView = addListRequesterListView(window, l);
    return 0;
}

OperatorEntry* selectedTransition()
{
    return operatorAtRow(session.transitionList, transitionRows().selectedRow());
}

void fillTransitionListView()
{
    const ListView rows = transitionRows();
    hxchar fallback[256];
    for (auto* entry = static_cast<OperatorEntry*>(ListFirst(&session.transitionList)); entry;
         entry = static_cast<OperatorEntry*>(ListNext(entry)))
        rows.add(UG_LIST_APPEND, listRow(UG_ITEM_TEXT_ROW, rowText(*entry, fallback, 256), kTransitionRow), 0);
    rows.add(UG_LIST_APPEND, listRow(UG_ITEM_SEPARATOR, nullptr, kSeparatorRow), 0);
    if (session.settings.jingleName)
        rows.add(UG_LIST_APPEND, jingleRow(), 0);
    rows.change(UG_LIST_REDRAW, 0, 1);
}

void onTransitionsButton(const UgMessage&)
{
    if (session.requestOpen[transitionsRequest])
        return; // one transitions requester at a time
    const Settings& s = session.settings;
    state.stagedLengthCode = s.transitionLengthCode;
    state.stagedOrder = s.transitionOrder;
    state.stagedRepeatCode = s.transitionRepeatCode;
    if (openTransitionsRequester() == 0)
        fillTransitionListView();
}

void onAddTransition(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest])
        return;
    const int32_t selected = transitionRows().selectedRow();
    OperatorEntry* after = operatorAtRow(session.transitionList, selected);
    if (!after && selected >= ListCount(&session.transitionList)) // the separator or the jingle row
        after = static_cast<OperatorEntry*>(ListLast(&session.transitionList));

    HxStringVector names{};
    mainSelectOperatorRequesterMulti(&names, 0, session.lastOperatorPath, 0);
    for (uint32_t i = 0; i < names.count; ++i) {
        const char* name = names.items[i];
        if (!name)
            continue;
        replaceHeapText(session.lastOperatorPath, name);
        OperatorEntry* entry = newTransition(name);
        if (!entry)
            continue;
        ListInsertAfter(&session.transitionList, after, entry);
        after = entry;
        insertTransitionRow(*entry);
    }
    for (uint32_t i = 0; i < names.count; ++i)
        std::free(names.items[i]);
    std::free(names.items);
}

void onRemoveTransition(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest])
        return;
    const ListView rows = transitionRows();
    const int32_t r = rows.selectedRow();
    if (rows.info(UG_LIST_SELECTED_USER, -1) == static_cast<int32_t>(kJingleRow)) {
        rows.change(UG_LIST_DELETE, r, 1);
        Settings& s = session.settings;
        std::free(s.jingleFile);
        std::free(s.jingleName);
        s.jingleFile = nullptr;
        s.jingleName = nullptr;
        return;
    }
    OperatorEntry* entry = operatorAtRow(session.transitionList, r);
    if (!entry)
        return; // the separator
    if (entry == transitionWithOpenSettings())
        finishTransitionSettings(false); // its settings panel must not outlive it
    rows.change(UG_LIST_DELETE, r, 1);
    dropOperator(session.transitionList, entry);
}

void onJingleButton(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest])
        return;
    char file[kJingleBufferChars];
    hxchar name[kJingleBufferChars];
    int32_t orientation = 0;
    if (!chooseJingle(file, name, &orientation))
        return;
    Settings& s = session.settings;
    std::free(s.jingleFile);
    std::free(s.jingleName);
    s.jingleFile = strdup(file);
    const size_t bytes = (xcslen(name) + 1) * sizeof(hxchar);
    s.jingleName = static_cast<hxchar*>(std::malloc(bytes));
    if (s.jingleName)
        std::memcpy(s.jingleName, name, bytes);
    if (!s.jingleFile || !s.jingleName) { // half a jingle is none
        std::free(s.jingleFile);
        std::free(s.jingleName);
        s.jingleFile = nullptr;
        s.jingleName = nullptr;
    }

    const ListView rows = transitionRows();
    int32_t n = rows.info(UG_LIST_COUNT, 0);
    rows.change(UG_LIST_SELECT, n - 1, 1);
    if (rows.info(UG_LIST_SELECTED_USER, -1) == static_cast<int32_t>(kJingleRow))
        rows.change(UG_LIST_DELETE, n - 1, 1);
    if (!s.jingleName)
        return;
    rows.add(UG_LIST_APPEND, jingleRow(), 1);
    n = rows.info(UG_LIST_COUNT, 0);
    rows.change(UG_LIST_SELECT, n - 1, 1);
}

void onTransitionLengthPopup(const UgMessage& message)
{
    state.stagedLengthCode = static_cast<int32_t>(message.value);
}

void onTransitionOrderPopup(const UgMessage& message)
{
    state.stagedOrder = static_cast<int32_t>(message.value);
}

void onTransitionRepeatPopup(const UgMessage& message)
{
    state.stagedRepeatCode = static_cast<int32_t>(message.value);
}

void onTransitionsOk(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest])
        return;
    finishTransitionSettings(true); // the settings panel belongs to this requester and closes with it
    closeRequester(transitionsRequest);
    Settings& s = session.settings;
    s.transitionLengthCode = state.stagedLengthCode;
    s.transitionOrder = state.stagedOrder;
    s.transitionRepeatCode = state.stagedRepeatCode;
    followListInCheckBox(session.transitionList, s.transitionsEnabled, mainGadgets.transitionsCheckBox, true);
}

void onTransitionsCancel(const UgMessage&)
{
    if (!session.requestOpen[transitionsRequest])
        return;
    finishTransitionSettings(false);
    closeRequester(transitionsRequest);
    followListInCheckBox(session.transitionList, session.settings.transitionsEnabled,
                         mainGadgets.transitionsCheckBox, false);
}

GadgetRoutes transitionsRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[transitionsRequest].cancelGadget, onTransitionsCancel},
        {&session.requests[transitionsRequest].okGadget, onTransitionsOk},
        {&state.gadgets.addButton, onAddTransition},
        {&state.gadgets.removeButton, onRemoveTransition},
        {&state.gadgets.settingsButton, onTransitionSettings},
        {&state.gadgets.lengthPopup, onTransitionLengthPopup},
        {&state.gadgets.orderPopup, onTransitionOrderPopup},
        {&state.gadgets.repeatPopup, onTransitionRepeatPopup},
        {&state.gadgets.jingleButton, onJingleButton},
    };
    return routes;
}
