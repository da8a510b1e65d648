// The output video frame the photos are rendered for, learned from the host.
#ifndef STILLSET_OUTPUT_FRAME_H
#define STILLSET_OUTPUT_FRAME_H

#include <cstdint>

extern int16_t frameWidth;
extern int16_t frameHeight;   // twice the field height
extern uint16_t frameAspect;  // pixel aspect in thousandths

// Asks the host for its current output format; false when the host gives no image to measure.
bool learnOutputFrame();
// Makes sure the frame size is known, learning it when no session has yet; false when it is not.
bool outputFrameKnown();

#endif
