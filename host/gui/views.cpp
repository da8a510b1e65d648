// Read access to the toolkit's windows and gadgets, and screenshots, for the host program and tests.
#include "hxhost/gui.h"

#include "gui/model.h"
#include "image/png_io.h"

namespace {

hxhost::GadgetView view(const UgWindow& window, const hx::Gadget& g)
{
    hxhost::GadgetView v;
    v.id = g.id;
    v.kind = g.kind;
    v.x = g.x - window.contentX;
    v.y = g.y - window.contentY;
    v.width = g.width;
    v.height = g.height;
    v.text = g.text;
    v.helpText = g.helpText;
    v.helpString = g.helpString;
    v.key = g.key;
    v.flags = g.flags;
    v.state = g.state;
    v.minimum = g.minimum;
    v.maximum = g.maximum;
    v.value = g.value;
    v.selected = g.selected;
    for (const hx::Item& item : g.items)
        v.items.push_back({item.record.flags, item.text, item.record.user, !item.image.empty()});
    v.hasPainter = g.painter != nullptr;
    return v;
}

} // namespace

namespace hxhost {

std::vector<WindowView> windows()
{
    std::vector<WindowView> out;
    for (const UgWindow* window : hx::openWindows()) {
        WindowView w;
        w.handle = window;
        w.title = window->title;
        w.secondText = window->secondText;
        w.flags = window->flags;
        w.x = window->x;
        w.y = window->y;
        w.width = window->width;
        w.height = window->height;
        w.contentX = window->x + window->contentX;
        w.contentY = window->y + window->contentY;
        w.okGadget = window->okGadget;
        w.cancelGadget = window->cancelGadget;
        for (const auto& gadget : window->gadgets)
            w.gadgets.push_back(view(*window, *gadget));
        out.push_back(std::move(w));
    }
    return out;
}

std::optional<GadgetView> gadget(uint32_t id)
{
    UgWindow* owner = nullptr;
    const hx::Gadget* g = hx::findGadgetAnywhere(id, &owner);
    return g ? std::optional<GadgetView>(view(*owner, *g)) : std::nullopt;
}

bool saveScreenshot(const std::string& path, const UgWindow* window, std::string* error)
{
    if (window && !hx::isLiveWindow(window)) {
        if (error)
            *error = "the window is not open";
        return false;
    }
    const Picture picture = window ? windowPicture(window) : screenPicture();
    return hx::writePngRgb(path, picture.width, picture.height, picture.pixels, error);
}

} // namespace hxhost
