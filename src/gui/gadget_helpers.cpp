#include "gadget_helpers.h"

#include "layout_units.h"
#include "string_ids.h"
#include "stillset/session.h"

#include "host/hxreq.h"
#include "host/hxtext.h"

#include <algorithm>
#include <cstring>

const hxchar* catalogueText(int32_t number)
{
    return resGetString(session.stringCatalogue, number);
}

namespace {

void showText(const hxchar* text)
{
    UReqTextRequest notice;
    std::memset(&notice, 0, sizeof notice);
    notice.text = text;
    notice.style = UREQ_NOTICE;
    ureqTextRequest(&notice);
}

} // namespace

void showNotice(int32_t number)
{
    showText(catalogueText(number));
}

void showNotice(int32_t number, long value)
{
    constexpr int32_t kNoticeChars = 512;
    const hxchar* format = catalogueText(number);
    hxchar text[kNoticeChars];
    text[0] = 0;
    if (format && xcslen(format) < kNoticeChars - 32) // room for the number
        sxprintf(text, format, value);
    showText(text);
}

void setShortcut(UgWindow* window, UgGadget gadget, uint32_t key)
{
    ugChangeElement(window, gadget, UG_SHORTCUT, static_cast<intptr_t>(key), 0);
}

UgGadget textButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t text, uint32_t key)
{
    const UgGadget gadget = ugAddTextButton(window, x, y, w, h, catalogueText(text), 0, 0);
    setShortcut(window, gadget, key);
    return gadget;
}

UgGadget imageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const ResImage* image,
                     uint32_t key, int32_t help)
{
    const UgGadget gadget = ugAddImageButton(window, x, y, w, h, image, 0, 0);
    setShortcut(window, gadget, key);
    ugChangeElement(window, gadget, UG_HELP_CATALOGUE, reinterpret_cast<intptr_t>(session.stringCatalogue), 0);
    ugChangeElement(window, gadget, UG_HELP_STRING, help, 0);
    return gadget;
}

UgGadget imageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t image, uint32_t key,
                     int32_t help)
{
    return imageButton(window, x, y, w, h, resGetImage(session.imageCatalogue, image), key, help);
}

int32_t popupLabelColumn(const int32_t* labels, int32_t count)
{
    int32_t widest = 0;
    for (int32_t i = 0; i < count; ++i)
        widest = std::max(widest, ugTextLength(catalogueText(labels[i])) + 2 * CW(4));
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
        entries[i].text = catalogueText(first + i);
        ListAppend(&list, &entries[i]);
    }
    const UgGadget gadget = ugAddPopup(window, x + labelColumn, y, w - labelColumn, h, &list, selected & 0xFFFF,
                                       catalogueText(label), 0, 0);
    while (ListCount(&list) != 0) // the toolkit copied them; the entries live on this stack
        ListRemove(&list, ListFirst(&list));
    setShortcut(window, gadget, key);
    return gadget;
}

UgGadget durationPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t label, int32_t selected)
{
    const int32_t labelWidth = ugTextLength(catalogueText(label)) + 4 * CW(4);
    return labelledPopup(window, x, y, w, h, labelWidth, label, kStrDuration1Second, kStrDuration30Seconds, selected,
                         't');
}

int32_t labelColumn(std::initializer_list<const hxchar*> labels)
{
    int32_t widest = 0;
    for (const hxchar* label : labels)
        if (label)
            widest = std::max(widest, ugTextLength(label) + 2 * CW(4));
    return widest + CW(2);
}

UgGadget labelledCheckBox(UgWindow* window, UgGadExt* extension, int32_t x, int32_t y, int32_t w, int32_t h,
                          const hxchar* label, bool checked, uint32_t key)
{
    extension->label = label;
    extension->labelEnabled = 1;
    const UgGadget box = ugAddCheckBox(window, x, y, w, h, checked ? 1 : 0, 0, extension);
    setShortcut(window, box, key);
    return box;
}

int32_t gadgetInfo(UgWindow* window, UgGadget gadget, int32_t attribute)
{
    int32_t value = 0;
    ugGetElementInfo(window, gadget, attribute, &value);
    return value;
}
