#include "main_window.h"

#include "drawing.h"
#include "error_codes.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window_layout.h"
#include "shortcut_keys.h"
#include "string_ids.h"
#include "stillset/log.h"
#include "stillset/output_frame.h"
#include "stillset/session.h"
#include "stillset/time_units.h"

#include "host/hxres.h"

#include <cerrno>
#include <cstring>

MainWindowGadgets mainGadgets;
int16_t thumbWidth = 0;
int16_t thumbHeight = 0;
ScreenRect previewRect;
ScreenPoint statusIconPos;

namespace {

constexpr uint32_t kGridFlags = 0x410000;
constexpr uint32_t kGridDragFlags = 0x6410000;
constexpr uint32_t kClickFlags = 0x10000;
constexpr uint32_t kDropTargetFlags = 0x810000;

int16_t thumbnailTarget(int32_t thumbSize)
{
    switch (thumbSize) {
    case 1: return 42;
    case 2: return 62;
    case 4: return 132;
    case 5: return 182;
    default: return 92;
    }
}

} // namespace

UgWindow* mainWindow()
{
    return session.requestOpen[mainWindowRequest] ? session.requests[mainWindowRequest].window : nullptr;
}

int32_t languageOptionBit(uint32_t key)
{
    const ListHead* languages = resLangListbegin;
    if (!languages) {
        errno = kNoLanguageList;
        return 1;
    }
    if (const auto* language = static_cast<const ResLanguage*>(ListFirst(languages))) {
        for (auto* option = static_cast<const ResLangOption*>(ListFirst(language->options)); option;
             option = static_cast<const ResLangOption*>(ListNext(option)))
            if (option->id == key)
                return (option->flags >> 2) & 1;
    }
    errno = kNoLanguageOption;
    return 1;
}

int32_t buildMainWindow()
{
    const int32_t monitor = ugGetDefaultMonitor();
    ugDisableRefresh(monitor);
    if (!learnOutputFrame()) {
        GUI_LOG(HXLOG_FAILURE);
        ugEnableRefresh(monitor);
        return -1;
    }
    const int32_t PA = ugGetPixelAspect(4);
    thumbWidth = frameWidth;
    thumbHeight = frameHeight;
    opCalcDims(&thumbWidth, &thumbHeight, frameAspect, thumbnailTarget(session.settings.thumbSize), 10000, PA, 4);

    int16_t L = 0, T = 0, R = 0, B = 0;
    ugGetVisibleArea(&L, &T, &R, &B);
    const RowMeasures m = rowMeasures();
    MainLayout l{};
    if (!computeMainLayout(L, T, R, B, m, l)) {
        GUI_LOG(HXLOG_FAILURE);
        ugEnableRefresh(monitor);
        return -1;
    }

    UReqRequest& request = session.requests[mainWindowRequest];
    std::memset(&request, 0, sizeof request);
    request.flags = UREQ_MAIN_WINDOW;
    request.size = static_cast<uint32_t>(ugGetScreenWidth() & 0xFFFF) | static_cast<uint32_t>(ugGetScreenHeight()) << 16;
    request.queue = session.messageQueue;
    if (ureqCreateRequest(&request) != 0) {
        GUI_LOG(HXLOG_FAILURE);
        ugEnableRefresh(monitor);
        return -1;
    }
    session.requestOpen[mainWindowRequest] = 1;
    UgWindow* window = request.window;
    const bool dragAndDrop = languageOptionBit(kDragAndDropOption) != 1;

    const int32_t XL = L + CW(20), YT = T + CH(10), XR = XL + l.LW + CW(20), YB = YT + l.H;
    ugDrawBoxNew(window, XL, YT, XL + l.LW - 1, YT + l.H - 1, 4, 5, 0, 0);
    ugDrawBoxNew(window, XR, YT, XR + l.RW - 1, YT + l.H - 1, 4, 5, 0, 0);

    // Right panel.
    const int32_t x0 = XR + CW(6) + 2, y0 = YT + CW(6) + 2, iw = l.RW - 2 * CW(6) - 4;
    auto row = [&](int k) { return y0 + k * m.STEP; };
    MainWindowGadgets& g = mainGadgets;
    g.addPhotosButton = textButton(window, x0, row(0), iw, m.BH, kStrAddPhotos, 'p');
    g.defaultDurationButton = textButton(window, x0, row(1), iw, m.BH, kStrDefaultDurationButton, 's');
    g.aboutButton = textButton(window, x0, row(2), iw, m.BH, kStrAbout, kHelpKey);
    g.durationPopup =
        durationPopup(window, x0, row(3), iw, m.BH, kStrDurationLabel, session.settings.defaultDurationCode);
    g.transitionsButton = textButton(window, x0, row(6), iw - GW(32) - CW(2), m.BH, kStrTransitionsButton, 'c');
    g.transitionsCheckBox = ugAddCheckBox(window, x0 + iw - GW(32), row(6), GW(32), m.BH,
                                          session.settings.transitionsEnabled, 0, nullptr);
    setShortcut(window, g.transitionsCheckBox, '1');
    g.effectsButton = textButton(window, x0, row(7), iw - GW(32) - CW(2), m.BH, kStrEffectsButton, 'i');
    g.effectsCheckBox = ugAddCheckBox(window, x0 + iw - GW(32), row(7), GW(32), m.BH, session.settings.effectsEnabled,
                                      0, nullptr);
    setShortcut(window, g.effectsCheckBox, '2');
    int16_t iconW = 0, iconH = 0;
    if (const ResImage* icon = resGetImage(session.imageCatalogue, 32)) {
        iconW = static_cast<int16_t>(icon->width);
        iconH = static_cast<int16_t>(icon->height);
        opCalcDims(&iconW, &iconH, 1000, 1000, ugGetFontHeight(), PA, 4);
    }
    const int32_t ybot = YB - CW(6) - m.FH - m.AH - 6;
    const int32_t createWidth = l.RW - 2 * CW(6) - 8 - iconW - CW(2);
    g.createButton = textButton(window, x0, ybot, createWidth, m.BH, kStrCreateSlideshow, 'f');
    statusIconPos = {static_cast<int16_t>(x0 + createWidth + CW(2) + 2), static_cast<int16_t>(ybot)};

    // Toolbar of the left panel.
    const int32_t xtb = XL + l.LW - CW(6) - 2 - 4 * GW(32) - 3 * CW(2), ytb = YT + CW(6) + 2;
    auto cellX = [&](int column) { return xtb + column * (GW(32) + CW(2)); };
    auto cellY = [&](int toolbarRow) { return ytb + toolbarRow * 2 * m.STEP; };
    auto tool = [&](int toolbarRow, int column, int32_t image, uint32_t key, int32_t help) {
        return imageButton(window, cellX(column), cellY(toolbarRow), GW(32), m.BH, image, key, help);
    };
    g.rotate270Button = tool(0, 0, 27, kCtrl | 'e', kStrTurnLeft);
    g.rotate90Button = tool(0, 1, 28, kAlt | 'r', kStrTurnRight);
    g.mirrorButton = tool(0, 2, 23, kCtrl | 'm', kStrMirror);
    g.cropButton = tool(1, 0, 20, 'a', kStrCrop);
    g.tonalButton = tool(1, 2, 21, 'v', kStrToneHelp);
    g.editButton = tool(2, 0, 22, kCtrl | 'z', kStrEditPhotoHelp);
    g.includeButton = tool(2, 1, 26, kAlt | 'y', kStrInclude);
    g.excludeButton = tool(2, 2, 25, kCtrl | 'n', kStrExclude);
    g.thumbSizeButton = tool(2, 3, 24, kAlt | 'd', kStrThumbSizeHelp);

    // Preview frame, centred left of the toolbar.
    const int32_t xp = XL + CW(6) + 2, yp = YT + CW(6) + 2;
    const int32_t yp1 = ytb + 4 * m.STEP + 2 * m.BH + CW(4) - 1;
    const int32_t availW = xtb - xp - CW(2) - 8, availH = yp1 - yp - 7;
    int16_t pw = frameWidth, ph = frameHeight;
    opCalcDims(&pw, &ph, frameAspect, availW, availH, PA, 4);
    const int32_t off = (((availW - pw) / 2) & ~1) - 4;
    ugDrawBoxNew(window, xp + off, yp, xp + off + pw + 7, yp1, 11, 0, 0, 0);
    previewRect = {static_cast<int16_t>(xp + off + 4), static_cast<int16_t>(yp + 4), pw, ph};
    g.previewClick = ugAddClickGadget(window, xp + off + 4, yp + 4, pw, availH, kClickFlags, 0);

    // Photo grid.
    UgGadExt* extension = ugAllocGadExt();
    if (extension)
        extension->painter = &paintThumbnailCell;
    ListHead empty;
    ListInit(&empty);
    g.photoGrid = ugAddGridview(window, xp, y0 + 6 * m.STEP, l.gridW, l.gridH, thumbWidth, thumbHeight, &empty, 1,
                                dragAndDrop ? kGridDragFlags : kGridFlags, extension);
    ugFreeGadExt(extension);
    setShortcut(window, g.photoGrid, 'l');
    ugFillBackground(window, previewRect.x - 4, previewRect.y - 4, previewRect.x + previewRect.width + 3,
                     previewRect.y + previewRect.height + 3, 2, 0);

    // Bottom bar: trash and restore on the left, close on the right.
    const int32_t ybar = B - CH(10) - CW(6) - m.FH - m.AH - 7;
    const int32_t xb = XL + CW(6) + 2, wb = 2 * GW(32) + CW(2);
    ugDrawBoxNew(window, xb - CW(6) - 2, ybar - CW(6) - 2, xb + 2 * wb + CW(2) + CW(6) + 1,
                 ybar + m.FH + m.AH + CW(6) + 5, 4, 5, 0, 0);
    g.trashButton = imageButton(window, xb, ybar, wb, m.BH, 29, kDeleteKey, kStrTrash);
    g.trashDropTarget = ugAddClickGadget(window, xb, ybar, wb, m.BH, dragAndDrop ? kDropTargetFlags : kClickFlags, 0);
    g.restoreButton = imageButton(window, xb + wb + CW(2), ybar, wb, m.BH,
                                  resGetImage(ugGetGuiResource(669, 0, 0), 669), kInsertKey, kStrRestore);
    const int32_t wr = 6 * GW(32) + 5 * CW(2), xr = R - wr - CW(20) - CW(6) - 3;
    ugDrawBoxNew(window, xr - CW(6) - 2, ybar - CW(6) - 2, xr + wr + CW(6) + 1, ybar + m.FH + m.AH + CW(6) + 5, 4, 5,
                 0, 0);
    g.closeButton = textButton(window, xr, ybar, wr, m.BH, kStrClose, kEscapeKey);

    ugEnableRefresh(monitor);
    return 0;
}

void fillPhotoGrid(int32_t position)
{
    UgWindow* window = mainWindow();
    for (auto* photo = static_cast<PhotoEntry*>(ListFirst(&session.photoList)); photo;
         photo = static_cast<PhotoEntry*>(ListNext(photo))) {
        UgItem item;
        std::memset(&item, 0, sizeof item);
        item.user = photo->id;
        ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_APPEND, reinterpret_cast<intptr_t>(&item), 0);
    }
    ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_SELECT, position, 0);
    ugChangeElement(window, mainGadgets.photoGrid, UG_GRID_REDRAW, 0, 1);
}

void showDurationOf(const PhotoEntry* photo)
{
    const int32_t code = photo ? durationCode(photo->duration) : session.settings.defaultDurationCode;
    ugChangeElement(mainWindow(), mainGadgets.durationPopup, UG_POPUP_SELECT, code, 1);
}
