#include "requester_window.h"

#include "layout_units.h"
#include "stillset/log.h"

#include "host/hxreq.h"

#include <algorithm>
#include <cstring>

UgWindow* openRequestWindow(RequestSlot slot, int32_t width, int32_t height, int32_t title, int32_t monitor,
                            int32_t failureLine)
{
    UReqRequest& request = session.requests[slot];
    std::memset(&request, 0, sizeof request);
    request.flags = UREQ_REQUESTER;
    request.size = static_cast<uint32_t>(width & 0xFFFF) | static_cast<uint32_t>(height & 0xFFFF) << 16;
    request.queue = session.messageQueue;
    request.title = resGetString(session.stringCatalogue, title);
    if (ureqCreateRequest(&request) != 0) {
        loggerMessage(HXLOG_FAILURE, failureLine, kGuiSource, kStillsetModule, " ");
        ugEnableRefresh(monitor);
        return nullptr;
    }
    session.requestOpen[slot] = 1;
    return request.window;
}

void closeRequestWindow(RequestSlot slot)
{
    if (!session.requestOpen[slot])
        return;
    ureqDeleteRequest(&session.requests[slot]);
    session.requestOpen[slot] = 0;
}

UgWindow* requestWindow(RequestSlot slot)
{
    return session.requestOpen[slot] ? session.requests[slot].window : nullptr;
}

void setShortcut(UgWindow* window, UgGadget gadget, uint32_t key)
{
    ugChangeElement(window, gadget, UG_SHORTCUT, static_cast<intptr_t>(key), 0);
}

UgGadget textButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t text, uint32_t key)
{
    const UgGadget gadget = ugAddTextButton(window, x, y, w, h, resGetString(session.stringCatalogue, text), 0, 0);
    setShortcut(window, gadget, key);
    return gadget;
}

int32_t popupLabelColumn(const int32_t* labels, int32_t count)
{
    int32_t widest = 0;
    for (int32_t i = 0; i < count; ++i)
        widest = std::max(widest, ugTextLength(resGetString(session.stringCatalogue, labels[i])) + 2 * CW(4));
    return widest + 4 * CW(4);
}

UgGadget labelledPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t labelColumn,
                       int32_t label, int32_t first, int32_t last, int32_t selected, uint32_t key)
{
    constexpr int32_t kMaxEntries = 16;
    UgItem entries[kMaxEntries];
    std::memset(entries, 0, sizeof entries);
    ListHead list;
    ListInit(&list);
    for (int32_t i = 0; i < kMaxEntries && first + i <= last; ++i) {
        entries[i].flags = UG_ITEM_POPUP;
        entries[i].text = resGetString(session.stringCatalogue, first + i);
        ListAppend(&list, &entries[i]);
    }
    const UgGadget gadget = ugAddPopup(window, x + labelColumn, y, w - labelColumn, h, &list, selected & 0xFFFF,
                                       resGetString(session.stringCatalogue, label), 0, 0);
    while (ListCount(&list) != 0) // the toolkit copied them; the entries live on this stack
        ListRemove(&list, ListFirst(&list));
    setShortcut(window, gadget, key);
    return gadget;
}

int32_t listRowHeight()
{
    const bool videoScreen = ugGetVideoMode() == 1 || ugGetDefaultMonitor() == 1 || ugGetDVIMode() == 1;
    return ugGetFontHeight() + 2 * (videoScreen ? CH(4) : CH(2));
}
