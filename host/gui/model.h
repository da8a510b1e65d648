// The toolkit's model of windows and gadgets. Gadgets keep copies of everything the program hands
// over (texts, item records, images), so the program may reuse or free its own at once.
#ifndef HX_GUI_MODEL_H
#define HX_GUI_MODEL_H

#include "host/hxgui.h"
#include "host/hxreq.h"
#include "hxhost/gui.h"

#include <memory>
#include <string>
#include <vector>

namespace hx {

using hxhost::GadgetKind;

// A copy of a resource image: 0xAARRGGBB words.
struct Icon {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    bool empty() const { return pixels.empty(); }
};
Icon copyIcon(const ResImage* image);
// Filtered scaling; alpha is premultiplied while scaling so edges keep their colour.
Icon scaledIcon(const Icon& icon, int32_t width, int32_t height);
// The icon's size fitted into width x height, keeping its proportions; never enlarged.
Icon fittedIcon(const Icon& icon, int32_t width, int32_t height);

struct Item {
    UgItem record{}; // what the cell painter is shown; its text points into `text`
    std::u16string text;
    Icon image;
};
Item copyItem(const UgItem& record);
// Copies of the item records of a host list, in order; at most kMaxItems.
std::vector<Item> copyItems(const ListHead* list);
constexpr size_t kMaxItems = 1 << 16;

struct Gadget {
    UgGadget id = 0;
    GadgetKind kind = GadgetKind::TextButton;
    int32_t x = 0, y = 0, width = 0, height = 0; // window pixels, chrome included
    std::u16string text;                         // button text; label of popups, sliders, check boxes
    Icon image;
    int32_t state = 0;
    int32_t minimum = 0, maximum = 0, value = 0;
    std::u16string format;
    int32_t valueWidth = 0;
    std::vector<Item> items;
    int32_t selected = -1;
    int32_t firstRow = 0; // lists and grids: the first row shown
    int32_t cellWidth = 0, cellHeight = 0;
    uint32_t flags = 0;
    UgCellPainter painter = nullptr;
    uint32_t key = 0;
    ResStrings* helpCatalogue = nullptr;
    int32_t helpString = -1;
    std::u16string helpText;
    int32_t lastDragSource = -1;
    bool dirty = false; // changed without a redraw
};

enum : uint32_t {
    kGridDragAndDrop = 0x6000000, // both bits of 0x6410000 beyond the plain grid's 0x410000
    kClickAcceptsDrops = 0x800000
};

} // namespace hx

// Window flag bits: 0x01 backdrop at the screen's corner, 0x02 title bar, 0x04 centred on the screen,
// 0x08 OK gadget, 0x10 Cancel gadget, 0x40 no border; 0x100000 marks a requester frame.
struct UgWindow {
    uint32_t id = 0;
    uint32_t flags = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;     // outer frame on the screen
    int32_t contentX = 0, contentY = 0;              // the program's (0, 0) in window pixels
    int32_t contentWidth = 0, contentHeight = 0;
    std::u16string title, secondText;
    MsgQueue* queue = nullptr;
    UgGadget okGadget = 0, cancelGadget = 0;
    std::vector<std::unique_ptr<hx::Gadget>> gadgets; // in the order made
    std::vector<uint32_t> pixels;                     // 0x00RRGGBB, width x height
};

namespace hx {

enum : uint32_t {
    kWindowBackdrop = 0x01,
    kWindowTitleBar = 0x02,
    kWindowCentred = 0x04,
    kWindowOk = 0x08,
    kWindowCancel = 0x10,
    kWindowBorderless = 0x40
};

// Open windows, bottom to top.
std::vector<UgWindow*> openWindows();
bool isLiveWindow(const UgWindow* window);
UgWindow* openWindow(const UReqRequest& request);
void closeWindow(UgWindow* window);
// The window the user closes when nothing is left to do: the backdrop, else the bottom window.
UgWindow* mainWindow();
UgWindow* windowTitled(const std::u16string& title); // "main" names the main window

Gadget* findGadget(UgWindow* window, UgGadget id);
// A gadget of the window, or of any window when `window` is null.
Gadget* findGadgetAnywhere(UgGadget id, UgWindow** owner);
// Adds a gadget at program coordinates (x, y) of the window; its identity, 0 when the window is not open.
Gadget* addGadget(UgWindow* window, GadgetKind kind, int32_t x, int32_t y, int32_t w, int32_t h);
void removeGadget(UgWindow* window, UgGadget id);

} // namespace hx

#endif
