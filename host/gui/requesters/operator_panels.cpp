// The panel of an operator's own settings inside a program's window: one slider per setting the
// operator shows, laid out in the rectangle the program gives.
#include "host/hxmain.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/model.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"

#include <algorithm>
#include <set>

struct OpGuiState {
    UgWindow* window = nullptr;
    HxOperator* op = nullptr;
    hx::Rect area;               // in the program's coordinates
    std::vector<UgGadget> sliders; // one per setting, in the operator's order
};

namespace {

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

} // namespace

extern "C" {

int32_t mainBuildOpGui(UgWindow* window, int32_t x, int32_t y, int32_t width, int32_t height, HxOperator* op,
                       OpGuiState** state) HX_ENTRY
{
    if (hx::shouldFail("mainBuildOpGui") || !state || !hx::isLiveWindow(window) || width <= 0 || height <= 0)
        return -1;
    auto* panel = new OpGuiState{window, op, {x, y, x + width - 1, y + height - 1}, {}};
    clearArea(window, panel->area);
    const auto& source = hx::state().operatorSettings;
    const std::vector<hxhost::OperatorSetting> settings = source.read ? source.read(op) : std::vector<hxhost::OperatorSetting>{};
    const int32_t gap = hx::convertWidth(4), row = hx::rowHeight();
    int32_t labels = 0;
    for (const hxhost::OperatorSetting& setting : settings)
        labels = std::max(labels, hx::textWidth(setting.label) + 3 * gap);
    for (size_t i = 0; i < settings.size(); ++i) {
        const int32_t top = y + static_cast<int32_t>(i) * (row + gap);
        if (top + row > y + height)
            break; // no room for more
        const hxhost::OperatorSetting& s = settings[i];
        hx::Gadget* slider = hx::addGadget(window, hx::GadgetKind::Slider, x + labels, top, width - labels, row);
        slider->text = s.label;
        slider->format = s.format;
        slider->minimum = std::min(s.minimum, s.maximum);
        slider->maximum = std::max(s.minimum, s.maximum);
        slider->value = std::clamp(s.value, slider->minimum, slider->maximum);
        hx::paintGadget(window, *slider);
        panel->sliders.push_back(slider->id);
    }
    if (panel->sliders.empty())
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
    const auto slider = std::find(state->sliders.begin(), state->sliders.end(), event->gadget);
    const auto& source = hx::state().operatorSettings;
    if (slider == state->sliders.end() || !source.write)
        return 1;
    const size_t index = static_cast<size_t>(slider - state->sliders.begin());
    return source.write(op ? op : state->op, index, static_cast<int32_t>(event->value)) ? 0 : 1;
}
HX_ENTRY_FAILS(-1)

void mainRemoveOpGui(UgWindow* window, OpGuiState* state) HX_ENTRY
{
    hx::countCall("mainRemoveOpGui");
    if (!livePanels().contains(state))
        return;
    if (hx::isLiveWindow(window) && window == state->window) {
        for (UgGadget slider : state->sliders)
            hx::removeGadget(window, slider);
        clearArea(window, state->area);
    }
    livePanels().remove(state);
    delete state;
}
HX_ENTRY_FAILS_VOID

} // extern "C"

namespace hxhost {

void setOperatorSettingsSource(OperatorSettingsSource source)
{
    hx::state().operatorSettings = std::move(source);
}

} // namespace hxhost
