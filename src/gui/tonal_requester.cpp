#include "tonal_requester.h"

#include "drawing.h"
#include "event_loop.h"
#include "gadget_helpers.h"
#include "layout_units.h"
#include "main_window.h"
#include "preview_fit.h"
#include "previews.h"
#include "requester_failures.h"
#include "requester_frame.h"
#include "string_ids.h"
#include "stillset/photo_list.h"

#include <cstring>

namespace {

struct TonalGadgets {
    UgGadget brightnessSlider, contrastSlider, saturationSlider, gammaSlider;
};

TonalGadgets gadgets;

constexpr uint32_t kSliderFlags = 0x130000;

struct Tone {
    int32_t brightness, contrast, saturation, gamma;
};

Tone sliderTone()
{
    UgWindow* window = requesterWindow(tonalRequest);
    const TonalGadgets& g = gadgets;
    return {gadgetInfo(window, g.brightnessSlider, UG_SLIDER_VALUE), gadgetInfo(window, g.contrastSlider, UG_SLIDER_VALUE),
            gadgetInfo(window, g.saturationSlider, UG_SLIDER_VALUE), gadgetInfo(window, g.gammaSlider, UG_SLIDER_VALUE)};
}

} // namespace

int32_t openTonalRequester(int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    const VisibleArea area = visibleArea();
    const RowMeasures m = rowMeasures();
    const PreviewSize preview =
        fitPreview(area.width * 3 / 4 - 12 - 2 * CW(6),
                   area.height * 3 / 4 - 32 - 4 * CW(6) - CH(10) - 4 * m.FH - 4 * m.AH - 3 * CW(4));
    const int32_t WW = preview.width + 2 * CW(6) + 12, PH = preview.height + 2 * CW(6) + 12;
    const int32_t SH = 4 * (m.FH + m.AH) + 2 * CW(6) + 3 * CW(4) + 20;
    UgWindow* window = openRequester({tonalRequest, WW, PH + CH(10) + SH, kStrToneTitle, kTonalRequesterFailed});
    if (!window)
        return -1;
    drawPanel(window, 0, 0, WW - 1, PH - 1);
    drawPanel(window, 0, PH + CH(10), WW - 1, PH + CH(10) + SH - 1);

    const int32_t TW = labelColumn({catalogueText(kStrBrightness), catalogueText(kStrContrast),
                                    catalogueText(kStrSaturation), catalogueText(kStrGamma)});
    UgSliderExt extension;
    std::memset(&extension, 0, sizeof extension);
    extension.valueWidth = static_cast<uint16_t>(ugTextLength(u"100%") + 2 * CW(4));
    const int32_t x = CW(6) + 2 + TW, w = WW - 2 * CW(6) - 4 - TW, y0 = PH + CH(10) + CW(6) + 2;
    auto slider = [&](int row, int32_t label, int32_t minimum, int32_t maximum, int32_t value, const hxchar* format,
                      uint32_t key) {
        const UgGadget gadget = ugAddSlider(window, x, y0 + row * m.STEP, w, m.BH, minimum, maximum, value,
                                            catalogueText(label), format, kSliderFlags, &extension);
        setShortcut(window, gadget, key);
        return gadget;
    };
    TonalGadgets& g = gadgets;
    g.brightnessSlider = slider(0, kStrBrightness, 0, 200, brightness, u"%ld%%", 'b');
    g.contrastSlider = slider(1, kStrContrast, 0, 200, contrast, u"%ld%%", 'c');
    g.saturationSlider = slider(2, kStrSaturation, 0, 200, saturation, u"%ld%%", 's');
    g.gammaSlider = slider(3, kStrGamma, -100, 100, gamma, u"%ld", 'g');

    tonalPreviewRect = framePreview(window, preview);
    endRequesterBuild();
    return 0;
}

void startTonalEdit(PhotoEntry* photo)
{
    if (openTonalRequester(photo->brightness, photo->contrast, photo->saturation, photo->gamma) != 0)
        return;
    drawTonalPreview(photo, photo->brightness, photo->contrast, photo->saturation, photo->gamma);
}

void onTonalSlider()
{
    if (!requesterIsOpen(tonalRequest))
        return;
    const Tone tone = sliderTone();
    drawTonalPreview(session.tonalEntry, tone.brightness, tone.contrast, tone.saturation, tone.gamma);
}

void acceptTone()
{
    if (!requesterIsOpen(tonalRequest))
        return;
    // The tone goes to the photo whose preview the user watched, even when the editor stepped on since.
    PhotoEntry* photo = session.tonalEntry;
    const Tone tone = sliderTone();
    closeRequester(tonalRequest);
    if (!photo) {
        drawStatusIcon(0);
        return;
    }
    photo->brightness = tone.brightness;
    photo->contrast = tone.contrast;
    photo->saturation = tone.saturation;
    photo->gamma = tone.gamma;
    forgetThumbnail(photo, session.projectDir);
    buildThumbnail(photo);
    if (requesterIsOpen(editorRequest)) {
        if (session.editEntry == photo)
            drawEditorPreview(photo);
    } else {
        ugChangeElement(mainWindow(), mainGadgets.photoGrid, UG_GRID_REDRAW_ITEM, session.tonalRow, 1);
        drawMainPreview(photo);
    }
    dropClip(photo);
    drawStatusIcon(0);
}

void cancelTone()
{
    closeRequester(tonalRequest);
}

void forgetTonalRequester()
{
    gadgets = {};
}

GadgetRoutes tonalRoutes()
{
    static const GadgetRoute routes[] = {
        {&session.requests[tonalRequest].okGadget, ignoringEvent<acceptTone>},
        {&session.requests[tonalRequest].cancelGadget, ignoringEvent<cancelTone>},
        {&gadgets.brightnessSlider, ignoringEvent<onTonalSlider>},
        {&gadgets.contrastSlider, ignoringEvent<onTonalSlider>},
        {&gadgets.saturationSlider, ignoringEvent<onTonalSlider>},
        {&gadgets.gammaSlider, ignoringEvent<onTonalSlider>},
    };
    return routes;
}
