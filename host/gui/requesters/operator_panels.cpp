// The panel of an operator's own settings inside a program's window. Each of the host's transitions
// describes its settings; the panel gives each a gadget of its kind (a popup of choices, a slider over
// a range, a check box for a switch) with its label, in rows and, when the rows run out, in columns,
// and writes what the user sets into the operator's preference block.
#include "host/hxmain.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/model.h"
#include "gui/screen.h"
#include "operators/operators.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "hxhost/testing.h"

#include <algorithm>

struct OpGuiState {
    UgWindow* window = nullptr;
    HxOperator* op = nullptr;
    hx::Rect area; // in the program's coordinates
    struct Shown {
        UgGadget gadget;
        const hxhost::TransitionSetting* setting;
    };
    std::vector<Shown> gadgets; // one per setting, in the operator's order
};

namespace {

using hxhost::SettingKind;
using hxhost::TransitionSetting;

void deletePanel(OpGuiState* panel)
{
    delete panel;
}

hx::LiveRegistry<OpGuiState*>& livePanels()
{
    static hx::LiveRegistry<OpGuiState*> panels{&hxhost::LiveCounts::operatorPanels, hx::OnReset::Release, deletePanel};
    return panels;
}

void clearArea(UgWindow* window, const hx::Rect& area)
{
    hx::contentCanvas(window).fill(area, hx::guiColour(hx::kColourPanel));
    hx::screenChanged();
}

std::vector<uint8_t>* blockOf(HxOperator* op)
{
    return op ? &op->prefs : nullptr;
}

int32_t currentValue(HxOperator* op, const TransitionSetting& setting)
{
    const std::vector<uint8_t>* block = blockOf(op);
    return block ? hxhost::settingValue(setting, block->data(), block->size()) : setting.defaultValue;
}

hx::Gadget* addSetting(UgWindow* window, const TransitionSetting& s, int32_t value, int32_t x, int32_t y, int32_t w,
                       int32_t h)
{
    hx::Gadget* g = nullptr;
    switch (s.kind) {
    case SettingKind::Choice:
        g = hx::addGadget(window, hx::GadgetKind::Popup, x, y, w, h);
        for (const std::u16string& choice : s.choices) {
            hx::Item item;
            item.record.flags = UG_ITEM_POPUP;
            item.text = choice;
            g->items.push_back(std::move(item));
        }
        g->selected = std::clamp(value, 0, static_cast<int32_t>(s.choices.size()) - 1);
        break;
    case SettingKind::Range:
        g = hx::addGadget(window, hx::GadgetKind::Slider, x, y, w, h);
        g->minimum = s.minimum;
        g->maximum = s.maximum;
        g->value = value;
        g->format = s.unit == u"%" ? u"%ld%%" : u"%ld" + s.unit;
        break;
    case SettingKind::Switch:
        g = hx::addGadget(window, hx::GadgetKind::CheckBox, x, y, std::min(w, h), h);
        g->state = value ? 1 : 0;
        break;
    }
    if (g)
        g->text = s.label;
    return g;
}

} // namespace

extern "C" {

int32_t mainBuildOpGui(UgWindow* window, int32_t x, int32_t y, int32_t width, int32_t height, HxOperator* op,
                       OpGuiState** state) HX_ENTRY
{
    if (hx::shouldFail("mainBuildOpGui") || !state || !hx::isLiveWindow(window) || width <= 0 || height <= 0)
        return -1;
    auto* panel = new OpGuiState{window, op, {x, y, x + width - 1, y + height - 1}, {}};
    clearArea(window, panel->area);
    const hxhost::TransitionType* type = hxhost::transitionOf(op);
    const std::vector<TransitionSetting> none;
    const std::vector<TransitionSetting>& settings = type ? type->settings : none;

    const int32_t gap = hx::convertWidth(4), row = hx::rowHeight(), labelGap = hx::convertWidth(6);
    const int32_t count = static_cast<int32_t>(settings.size());
    const int32_t rows = std::max(1, (height + gap) / (row + gap));
    const int32_t columns = std::max(1, (count + rows - 1) / rows);
    const int32_t columnWidth = (width - (columns - 1) * 2 * gap) / columns;
    for (int32_t column = 0; column < columns; ++column) {
        const int32_t first = column * rows, last = std::min(count, first + rows);
        int32_t labels = 0;
        for (int32_t i = first; i < last; ++i)
            labels = std::max(labels, hx::textWidth(settings[static_cast<size_t>(i)].label) + 2 * labelGap);
        const int32_t left = x + column * (columnWidth + 2 * gap);
        for (int32_t i = first; i < last; ++i) {
            const TransitionSetting& s = settings[static_cast<size_t>(i)];
            const int32_t top = y + (i - first) * (row + gap);
            if (hx::Gadget* g = addSetting(window, s, currentValue(op, s), left + labels, top, columnWidth - labels, row)) {
                hx::paintGadget(window, *g);
                panel->gadgets.push_back({g->id, &s});
            }
        }
    }
    if (panel->gadgets.empty())
        hx::drawText(hx::contentCanvas(window), x + gap, y + gap, u"This operator has no settings.",
                     hx::guiColour(hx::kColourDimText), width - 2 * gap);
    livePanels().add(panel);
    *state = panel;
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t mainDoOpGui(const void* message, OpGuiState* state, HxOperator* op, UgWindow*, int32_t, int32_t, int32_t,
                    int32_t* result1, int32_t* result2) HX_ENTRY
{
    hx::countCall("mainDoOpGui");
    if (result1)
        *result1 = 0;
    if (result2)
        *result2 = 0;
    const auto* event = static_cast<const UgMessage*>(message);
    if (!event || !livePanels().contains(state) || event->messageClass != UG_MSG_GADGET)
        return 1;
    const auto shown = std::find_if(state->gadgets.begin(), state->gadgets.end(),
                                    [&](const OpGuiState::Shown& s) { return s.gadget == event->gadget; });
    std::vector<uint8_t>* block = blockOf(op ? op : state->op);
    if (shown == state->gadgets.end() || !block)
        return 1;
    const TransitionSetting& setting = *shown->setting;
    const int32_t before = hxhost::settingValue(setting, block->data(), block->size());
    if (!hxhost::setSettingValue(setting, static_cast<int32_t>(event->value), block->data(), block->size()))
        return 1;
    return hxhost::settingValue(setting, block->data(), block->size()) != before ? 0 : 1;
}
HX_ENTRY_FAILS(-1)

void mainRemoveOpGui(UgWindow* window, OpGuiState* state) HX_ENTRY
{
    hx::countCall("mainRemoveOpGui");
    if (!livePanels().contains(state))
        return;
    if (hx::isLiveWindow(window) && window == state->window) {
        for (const OpGuiState::Shown& shown : state->gadgets)
            hx::removeGadget(window, shown.gadget);
        clearArea(window, state->area);
    }
    livePanels().remove(state);
    delete state;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
