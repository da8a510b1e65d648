#include "output_frame.h"

#include "host/hxopcommon.h"

int16_t frameWidth = 0;
int16_t frameHeight = 0;
uint16_t frameAspect = 1000;

bool learnOutputFrame()
{
    OpImage* probe = opAllocImage(0, 0, OP_FORMAT_YUVA, 0);
    if (!probe)
        return false;
    frameWidth = probe->width;
    frameHeight = static_cast<int16_t>(2 * probe->height);
    frameAspect = probe->aspect;
    opFreeImage(probe);
    return true;
}

bool outputFrameKnown()
{
    return (frameWidth > 0 && frameHeight > 0) || learnOutputFrame();
}
