// State shared by the pan operator's entry and its render.
#ifndef STILLSET_OP_PAN_PAN_INSTANCE_H
#define STILLSET_OP_PAN_PAN_INSTANCE_H

#include "host/hxop.h"
#include "host/hxopcommon.h"

inline constexpr uint32_t kPanModule = 0x05E30000;
inline constexpr const char* kPanSource = "src\\stillset_op_pan";

#define PAN_LOG(level) loggerMessage((level), __LINE__, kPanSource, kPanModule, " ")

// Per-instance state kept by the host between calls; its size is announced in the description.
struct PanInstance {
    uint32_t havePicture;
    OpImage* keptPicture; // owned by the instance
};
static_assert(!HX_TARGET32 || sizeof(PanInstance) == 8);

// Renders field P of L into the host; the result is the host's answer to the finished field, or -1.
int32_t renderPanField(PanInstance& instance, const OperatorActionRecord& record, uint32_t panMode);

// The window of the picture shown at position P of an effect of length L, in picture pixels.
struct PanWindow {
    double x, y, w, h;
};
PanWindow panWindow(const OpImage& picture, const OpImage& frame, uint32_t panMode, uint32_t length, uint32_t position);
// Shrinks a kept still larger than the frame to about 106 % of it in its tighter direction.
void shrinkForPan(PanInstance& instance, int32_t fieldWidth, int32_t fieldHeight);

#endif
