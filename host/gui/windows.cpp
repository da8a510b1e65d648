// The toolkit's windows and their gadgets: opened from request records, closed with them.
#include "gui/model.h"

#include "gui/canvas.h"
#include "gui/colour.h"
#include "gui/font.h"
#include "gui/gadget_look.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "runtime/reset_hook.h"
#include "hxhost/testing.h"

#include <algorithm>

namespace {

void deleteWindow(UgWindow* window)
{
    delete window;
}

hx::LiveRegistry<UgWindow*>& liveWindows()
{
    static hx::LiveRegistry<UgWindow*> open{&hxhost::LiveCounts::windows, hx::OnReset::Release, deleteWindow};
    return open;
}

struct Windows {
    uint32_t lastWindowId = 0;
    UgGadget lastGadgetId = 0;
};

Windows& windows()
{
    static Windows w;
    return w;
}

int32_t requesterButtonWidth(const std::u16string& label)
{
    return std::max(hx::textWidth(label) + 2 * hx::convertWidth(12), hx::convertWidth(90));
}

void addRequesterButtons(UgWindow* window)
{
    const int32_t gap = hx::convertWidth(6), h = hx::rowHeight();
    const int32_t y = window->contentY + window->contentHeight + gap;
    int32_t right = window->width - window->contentX - gap;
    auto addButton = [&](const std::u16string& label) {
        const int32_t w = requesterButtonWidth(label);
        right -= w;
        hx::Gadget* button = hx::addGadget(window, hx::GadgetKind::TextButton, right - window->contentX,
                                           y - window->contentY, w, h);
        button->text = label;
        right -= gap;
        return button->id;
    };
    if (window->flags & hx::kWindowCancel)
        window->cancelGadget = addButton(u"Cancel");
    if (window->flags & hx::kWindowOk)
        window->okGadget = addButton(window->secondText.empty() ? u"OK" : window->secondText);
}

} // namespace

namespace hx {

Icon copyIcon(const ResImage* image)
{
    Icon icon;
    if (!image || !image->pixels || image->width == 0 || image->height == 0)
        return icon;
    icon.width = image->width;
    icon.height = image->height;
    icon.pixels.assign(image->pixels, image->pixels + static_cast<size_t>(icon.width) * icon.height);
    return icon;
}

Item copyItem(const UgItem& record)
{
    Item item;
    item.record = record;
    item.record.link = ListNode{};
    if (record.text)
        item.text = record.text;
    item.image = copyIcon(static_cast<const ResImage*>(record.image));
    item.record.text = nullptr; // pointed at the copy whenever the record is shown
    return item;
}

std::vector<Item> copyItems(const ListHead* list)
{
    std::vector<Item> items;
    if (!list)
        return items;
    for (auto* node = static_cast<const UgItem*>(ListFirst(list)); node && items.size() < kMaxItems;
         node = static_cast<const UgItem*>(ListNext(node)))
        items.push_back(copyItem(*node));
    return items;
}

std::vector<UgWindow*> openWindows()
{
    std::vector<UgWindow*> open = liveWindows().inOrder();
    // A backdrop built again while requesters stand stays behind them.
    std::stable_partition(open.begin(), open.end(), [](const UgWindow* w) { return (w->flags & kWindowBackdrop) != 0; });
    return open;
}

bool isLiveWindow(const UgWindow* window)
{
    return window && liveWindows().contains(window);
}

UgWindow* openWindow(const UReqRequest& request)
{
    const int32_t width = static_cast<int32_t>(request.size & 0xFFFF), height = static_cast<int32_t>(request.size >> 16);
    const ScreenConfig& screen = screenConfig();
    if (width <= 0 || height <= 0 || width > 4 * screen.width || height > 4 * screen.height)
        return nullptr;
    auto* window = new UgWindow;
    window->id = ++windows().lastWindowId;
    window->flags = request.flags;
    if (request.title)
        window->title = request.title;
    if (request.secondText)
        window->secondText = request.secondText;
    window->queue = request.queue;
    const int32_t border = (request.flags & kWindowBorderless) ? 0 : 2;
    const int32_t titleBar = (request.flags & kWindowTitleBar) ? rowHeight() + 4 : 0;
    const int32_t buttonBar = (request.flags & (kWindowOk | kWindowCancel)) ? rowHeight() + 2 * convertWidth(6) : 0;
    window->contentX = border;
    window->contentY = border + titleBar;
    window->contentWidth = width;
    window->contentHeight = height;
    window->width = width + 2 * border;
    window->height = height + 2 * border + titleBar + buttonBar;
    if (request.flags & kWindowBackdrop) {
        window->x = window->y = 0;
    } else {
        window->x = (screen.width - window->width) / 2;
        window->y = (screen.height - window->height) / 2;
    }
    window->pixels.assign(static_cast<size_t>(window->width) * window->height, 0);
    liveWindows().add(window);
    paintWindowChrome(window);
    addRequesterButtons(window);
    for (auto& gadget : window->gadgets)
        paintGadget(window, *gadget);
    screenChanged();
    return window;
}

void closeWindow(UgWindow* window)
{
    if (!liveWindows().remove(window))
        return;
    forgetWindowTarget(window);
    delete window;
    screenChanged();
}

UgWindow* mainWindow()
{
    const std::vector<UgWindow*> open = openWindows();
    for (UgWindow* window : open)
        if (window->flags & kWindowBackdrop)
            return window;
    return open.empty() ? nullptr : open.front();
}

UgWindow* windowTitled(const std::u16string& title)
{
    if (title == u"main")
        return mainWindow();
    const std::vector<UgWindow*> open = openWindows();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if ((*it)->title == title)
            return *it;
    return nullptr;
}

Gadget* findGadget(UgWindow* window, UgGadget id)
{
    if (!isLiveWindow(window) || id == 0)
        return nullptr;
    for (auto& gadget : window->gadgets)
        if (gadget->id == id)
            return gadget.get();
    return nullptr;
}

Gadget* findGadgetAnywhere(UgGadget id, UgWindow** owner)
{
    for (UgWindow* window : openWindows())
        if (Gadget* gadget = findGadget(window, id)) {
            if (owner)
                *owner = window;
            return gadget;
        }
    return nullptr;
}

Gadget* addGadget(UgWindow* window, GadgetKind kind, int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (!isLiveWindow(window) || w < 0 || h < 0)
        return nullptr;
    auto gadget = std::make_unique<Gadget>();
    gadget->id = ++windows().lastGadgetId;
    gadget->kind = kind;
    gadget->x = window->contentX + x;
    gadget->y = window->contentY + y;
    gadget->width = w;
    gadget->height = h;
    window->gadgets.push_back(std::move(gadget));
    return window->gadgets.back().get();
}

void removeGadget(UgWindow* window, UgGadget id)
{
    if (!isLiveWindow(window))
        return;
    auto& gadgets = window->gadgets;
    gadgets.erase(std::remove_if(gadgets.begin(), gadgets.end(), [id](const auto& g) { return g->id == id; }),
                  gadgets.end());
}

// The registry frees the windows; the numbering, the drawing target and the screen start again.
const ResetHook windowsReset([] {
    windows() = Windows{};
    setCurrentTarget(std::nullopt);
    resetScreen();
});

} // namespace hx

extern "C" {

int32_t ureqCreateRequest(UReqRequest* request) HX_ENTRY
{
    if (hx::shouldFail("ureqCreateRequest") || !request)
        return 1;
    UgWindow* window = hx::openWindow(*request);
    if (!window)
        return 1;
    request->window = window;
    request->okGadget = window->okGadget;
    request->cancelGadget = window->cancelGadget;
    return 0;
}
HX_ENTRY_FAILS(-1)

void ureqDeleteRequest(UReqRequest* request) HX_ENTRY
{
    hx::countCall("ureqDeleteRequest");
    if (!request || !hx::isLiveWindow(request->window))
        return;
    hx::closeWindow(request->window);
    request->window = nullptr;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
