#include "requester_gadgets.h"

TonalGadgets tonalGadgets;
EditorGadgets editorGadgets;
ThumbSizeGadgets thumbSizeGadgets;
DefaultDurationGadgets defaultDurationGadgets;
ApplyDurationGadgets applyDurationGadgets;

void forgetRequesterGadgets()
{
    tonalGadgets = {};
    editorGadgets = {};
    thumbSizeGadgets = {};
    defaultDurationGadgets = {};
    applyDurationGadgets = {};
}
