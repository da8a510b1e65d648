// The tool's full-screen main window: layout, gadgets and the rectangles other parts draw into.
#ifndef STILLSET_GUI_MAIN_WINDOW_H
#define STILLSET_GUI_MAIN_WINDOW_H

#include "host/hxgui.h"
#include "host/hxscenes.h"

#include <cstdint>

// Gadget identities of the main window, compared by the event loop.
struct MainWindowGadgets {
    UgGadget addPhotosButton, defaultDurationButton, aboutButton, durationPopup;
    UgGadget transitionsButton, transitionsCheckBox, effectsButton, effectsCheckBox, createButton;
    UgGadget rotate270Button, rotate90Button, mirrorButton, cropButton, tonalButton, editButton;
    UgGadget includeButton, excludeButton, thumbSizeButton, previewClick, photoGrid;
    UgGadget trashButton, trashDropTarget, restoreButton, closeButton;
};

struct ScreenRect {
    int16_t x, y, width, height;
};

struct ScreenPoint {
    int16_t x, y;
};

extern MainWindowGadgets mainGadgets;
extern int16_t thumbWidth;
extern int16_t thumbHeight;
extern ScreenRect previewRect;
extern ScreenPoint statusIconPos;

// The key of the host language option that allows dragging photos in the grid.
inline constexpr uint32_t kDragAndDropOption = 245123223;

// 0 when the window stands with all its gadgets, -1 when it could not be built.
int32_t buildMainWindow();
// Bit 2 of the first language's option `key`, or 1 when there is no such option.
int32_t languageOptionBit(uint32_t key);
// One grid item per photo in list order, position `position` selected.
void fillPhotoGrid(int32_t position);
// The Duration popup shows the photo's duration, or the default duration when there is no photo.
void showDurationOf(const PhotoEntry* photo);
// The main window's handle (null while it is not open).
UgWindow* mainWindow();

#endif
