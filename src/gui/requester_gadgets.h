// The gadget identities of the requesters, compared by the event loop. They are forgotten at every
// start-up, so that a number handed out in an earlier session never answers for a new gadget.
#ifndef STILLSET_GUI_REQUESTER_GADGETS_H
#define STILLSET_GUI_REQUESTER_GADGETS_H

#include "host/hxgui.h"

struct TonalGadgets {
    UgGadget brightnessSlider, contrastSlider, saturationSlider, gammaSlider;
};

struct EditorGadgets {
    UgGadget rotate270Button, rotate90Button, mirrorButton, cropButton, tonalButton;
    UgGadget includeButton, excludeButton, previousButton, nextButton;
};

struct ThumbSizeGadgets {
    UgGadget boxes[5]; // thumbSizeBox1 .. thumbSizeBox5
};

struct DefaultDurationGadgets {
    UgGadget defaultDurationPopup, resetButton;
};

struct ApplyDurationGadgets {
    UgGadget applyToAllBox, applyToOldDefaultBox;
};

extern TonalGadgets tonalGadgets;
extern EditorGadgets editorGadgets;
extern ThumbSizeGadgets thumbSizeGadgets;
extern DefaultDurationGadgets defaultDurationGadgets;
extern ApplyDurationGadgets applyDurationGadgets;

void forgetRequesterGadgets();

#endif
