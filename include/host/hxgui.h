/* GUI toolkit: gadgets, events, measures and drawing in the host's windows. */
#ifndef HX_HXGUI_H
#define HX_HXGUI_H

#include "hxapi.h"
#include "hxlist.h"
#include "hxres.h"

HX_BEGIN_DECLS

typedef struct UgWindow UgWindow;
typedef uint32_t UgGadget; /* gadget identity; 0 is none */

/* Item flags. */
enum {
    UG_ITEM_POPUP = 513,
    UG_ITEM_TEXT_ROW = 257,
    UG_ITEM_SEPARATOR = 64,
    UG_ITEM_IMAGE_ROW = 0x04020101
};

/* An entry of a popup, a row of a list view or an item of a grid. The toolkit copies it. */
typedef struct UgItem {
    ListNode link;
    uint32_t flags;
    const hxchar* text;
    uint32_t reserved20;
    const void* image;
    uint32_t reserved28[2];
    uint32_t user; /* caller's word: the photo identifier in grid items */
    uint32_t reserved40;
} UgItem;

HX_ASSERT_LAYOUT32(offsetof(UgItem, flags) == 12);
HX_ASSERT_LAYOUT32(offsetof(UgItem, text) == 16);
HX_ASSERT_LAYOUT32(offsetof(UgItem, image) == 24);
HX_ASSERT_LAYOUT32(offsetof(UgItem, user) == 36);
HX_ASSERT_LAYOUT32(sizeof(UgItem) == 44);

/* Draws one grid cell; corners inclusive. */
typedef void (*UgCellPainter)(const UgItem* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

/* Gadget extension block (ugAllocGadExt). */
typedef struct UgGadExt {
    uint32_t reserved0[2];
    const hxchar* label;     /* check box: label drawn left of the box */
    uint32_t reserved12;
    UgCellPainter painter;   /* grid: cell painter */
    uint16_t labelEnabled;   /* check box: 1 with a label */
    uint16_t reserved22;
    uint32_t reserved24[4];
} UgGadExt;

HX_ASSERT_LAYOUT32(offsetof(UgGadExt, label) == 8);
HX_ASSERT_LAYOUT32(offsetof(UgGadExt, painter) == 16);
HX_ASSERT_LAYOUT32(offsetof(UgGadExt, labelEnabled) == 20);

/* Slider extension: 32 bytes, cleared but for the width of the value text. */
typedef struct UgSliderExt {
    uint8_t reserved0[14];
    uint16_t valueWidth;
    uint8_t reserved16[16];
} UgSliderExt;

HX_STATIC_ASSERT(sizeof(UgSliderExt) == 32, "slider extension is 32 bytes");

/* Message classes. */
enum {
    UG_MSG_GADGET = 4,
    UG_MSG_CLOSE = 6,     /* the user closed a window that has no Cancel or OK gadget (the main window) */
    UG_MSG_CLOSE_ALT = 7, /* the host asks the program to quit */
    UG_MSG_DRAG_OVER = 31,
    UG_MSG_DROP = 32      /* only after the program answered the drag-over with ugDropPossible(1, 0) and
                             only on a grid with drag and drop or a click gadget that takes drops */
};

/* Event codes of class 4 (low 16 bits of `code`) and what `value` then holds. A requester's close
   gadget presses its Cancel gadget, or its OK gadget when it has no Cancel gadget. */
enum {
    UG_EVENT_PRESSED = 1,      /* button, image button, click gadget: 0; check box: its new state */
    UG_EVENT_SELECTED = 2,     /* grid or list view: the position the user clicked */
    UG_EVENT_CHOSEN = 3,       /* popup: the entry chosen; grid or list view: the position double-clicked */
    UG_EVENT_KEY_SELECTED = 4, /* grid or list view: the position the selection was moved to with a key */
    UG_EVENT_SLID = 5          /* slider: its new value */
};

/* A message of a window's queue, 44 bytes. */
typedef struct UgMessage {
    uint16_t messageClass;
    uint16_t reserved2;
    uint32_t reserved4[2]; /* the host's: reserved4[0] is the number of the window that posted it */
    uint32_t gadget;   /* class 4: the reporting gadget; 31, 32: the gadget the drag started in */
    uint32_t code;     /* class 4: event code in the low 16 bits; 32: dragged position */
    uint32_t value;    /* class 4: new value; 31, 32: the gadget under the pointer */
    uint32_t dropPosition; /* class 32: the grid position dropped on (0 .. count); 0xFFFFFFFF on a click gadget */
    uint32_t reserved28[4];
} UgMessage;

HX_ASSERT_LAYOUT32(offsetof(UgMessage, gadget) == 12);
HX_ASSERT_LAYOUT32(offsetof(UgMessage, code) == 16);
HX_ASSERT_LAYOUT32(offsetof(UgMessage, value) == 20);
HX_ASSERT_LAYOUT32(offsetof(UgMessage, dropPosition) == 24);
HX_STATIC_ASSERT(sizeof(UgMessage) == 44, "GUI message is 44 bytes");

/* GUI image (ugAllocImage). */
enum {
    UG_IMAGE_KIND_YUV24 = 2048,
    UG_IMAGE_KIND_32 = 2,
    UG_FORMAT_RGB565 = 0x200,
    UG_FORMAT_RGB24 = 0x400,
    UG_FORMAT_YUV24 = 0x800,
    UG_FORMAT_YUV32 = 0x1000,
    UG_FORMAT_ARGB = 0x4000
};

typedef struct UgImage {
    uint32_t reserved0;
    uint16_t width;
    uint16_t height;
    uint16_t reserved8[2];
    uint8_t* pixels;
    uint32_t format;
} UgImage;

HX_ASSERT_LAYOUT32(offsetof(UgImage, width) == 4);
HX_ASSERT_LAYOUT32(offsetof(UgImage, pixels) == 12);
HX_ASSERT_LAYOUT32(offsetof(UgImage, format) == 16);
HX_ASSERT_LAYOUT32(sizeof(UgImage) == 20);

/* Attribute codes of ugChangeElement / ugGetElementInfo. */
enum {
    UG_GRID_SELECT = 6,
    UG_GRID_DELETE = 7,
    UG_GRID_REDRAW = 8,
    UG_GRID_APPEND = 9,
    UG_GRID_INSERT_FIRST = 10,
    UG_GRID_INSERT_AFTER_SELECTED = 11,
    UG_LIST_SELECTED = 12,
    UG_LIST_SELECTED_USER = 16,
    UG_LIST_SELECT = 17,
    UG_GRID_SELECTED = 18,
    UG_LIST_DELETE = 19,
    UG_LIST_COUNT = 20,
    UG_CHECK_STATE = 21,  /* read on a check box */
    UG_LIST_REDRAW = 21,  /* change on a list view */
    UG_LIST_APPEND = 22,
    UG_LIST_INSERT_FIRST = 23,
    UG_LIST_INSERT_AFTER_SELECTED = 24,
    UG_SLIDER_VALUE = 25,
    UG_POPUP_SELECT = 27,
    UG_POPUP_SELECTED = 28,
    UG_SHORTCUT = 57,
    UG_GRID_REPLACE_LIST = 59,
    UG_CHECK_SET = 60,
    UG_GRID_DRAG_SOURCE = 63,
    UG_HELP_CATALOGUE = 80,
    UG_HELP_STRING = 82,
    UG_GRID_REDRAW_ITEM = 93
};

/* Gadgets; each returns the gadget identity, 0 on failure. */
HXAPI UgGadget ugAddTextButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const hxchar* text,
                               uint32_t a, uint32_t b);
HXAPI UgGadget ugAddImageButton(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, const ResImage* image,
                                uint32_t a, uint32_t b);
HXAPI UgGadget ugAddCheckBox(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t checked,
                             uint32_t a, UgGadExt* extension);
HXAPI UgGadget ugAddPopup(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, ListHead* items,
                          int32_t selected, const hxchar* label, uint32_t a, uint32_t b);
HXAPI UgGadget ugAddSlider(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t minimum,
                           int32_t maximum, int32_t value, const hxchar* label, const hxchar* format, uint32_t flags,
                           UgSliderExt* extension);
HXAPI UgGadget ugAddListview(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, ListHead* items,
                             uint32_t a, uint32_t b, uint32_t c);
/* flags 0x410000, or 0x6410000 with drag and drop. */
HXAPI UgGadget ugAddGridview(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, int32_t cellWidth,
                             int32_t cellHeight, ListHead* items, int32_t a, uint32_t flags, UgGadExt* extension);
/* flags 0x10000, plus 0x800000 when the area accepts drops. */
HXAPI UgGadget ugAddClickGadget(UgWindow* window, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t flags,
                                uint32_t a);
HXAPI int32_t ugChangeElement(UgWindow* window, UgGadget gadget, int32_t attribute, intptr_t value, int32_t redraw);
HXAPI int32_t ugGetElementInfo(UgWindow* window, UgGadget gadget, int32_t attribute, void* result);
HXAPI UgGadExt* ugAllocGadExt(void);
HXAPI void ugFreeGadExt(UgGadExt* extension);
HXAPI void ugDropPossible(int32_t possible, uint32_t flags);

/* Measures. */
HXAPI int32_t ugGetDefaultMonitor(void);
HXAPI int32_t ugGetScreenWidth(void);
HXAPI int32_t ugGetScreenHeight(void);
HXAPI void ugGetVisibleArea(int16_t* left, int16_t* top, int16_t* right, int16_t* bottom);
HXAPI int32_t ugConvertWidth(int32_t units);
HXAPI int32_t ugConvertHeight(int32_t units);
HXAPI int32_t ugConvertGadgetWidth(int32_t units);
HXAPI int32_t ugGetFontHeightMonitor(int32_t monitor);
HXAPI int32_t ugGetFontHeight(void);
HXAPI int32_t ugGetAddHeight(void);
HXAPI int32_t ugGetPixelAspect(int32_t which); /* 1: output, 4: screen; thousandths */
HXAPI int32_t ugGetVideoMode(void);
HXAPI int32_t ugGetDVIMode(void);
HXAPI int32_t ugTextLength(const hxchar* text);

/* Drawing. A null window draws into the toolkit's current target (the grid cell being painted). */
HXAPI void ugDisableRefresh(int32_t monitor);
HXAPI void ugEnableRefresh(int32_t monitor);
HXAPI UgImage* ugAllocImage(int32_t kind, int32_t width, int32_t height);
HXAPI void ugFreeImage(UgImage* image);
HXAPI void ugWriteImage(UgWindow* window, const UgImage* image, int32_t x, int32_t y);
HXAPI void ugWriteResImage(UgWindow* window, const ResImage* image, int32_t x, int32_t y);
HXAPI void ugSetColorYUV(uint32_t colour);
HXAPI void ugRectFill(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
HXAPI uint32_t ugGetNewGuiColorYUV(int32_t number);
HXAPI uint32_t ugYUV2RGB(uint32_t yuv);
HXAPI uint32_t ugRGB2YUV(uint32_t rgb);
HXAPI uint32_t ugYUV2ARGBExt(uint32_t yuv, int32_t mode);
HXAPI int32_t ugGetVGAScreenFormat(void);
HXAPI void ugDrawBoxNew(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t a, int32_t b,
                        int32_t c, int32_t d);
HXAPI void ugFillBackground(UgWindow* window, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t pen,
                            int32_t flags);
HXAPI ResImages* ugGetGuiResource(int32_t number, int32_t a, int32_t b);
HXAPI ResImage* ugGetScaledResImage2(ResImages* catalogue, int32_t number, int32_t width, int32_t height,
                                     int32_t mode);

/* Pointer and events. */
HXAPI void ugBusyPointer(void);
HXAPI void ugStandardPointer(void);
HXAPI void ugPointerBeep(void);
/* Waits for the next message of the program's queue (timeout -1: without limit); bytes received. */
HXAPI int32_t ugMsgQReceive(UgMessage* message, int32_t timeout);

HX_END_DECLS

#endif
