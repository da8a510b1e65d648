// The pan-and-zoom operator: its description for the host and its action entry.
#include "host/hxlog.h"
#include "host/hxop.h"
#include "host/hxopcommon.h"

#include <cstring>

#define PAN_EXPORT extern "C" __attribute__((visibility("default")))

PAN_EXPORT const OperatorTag* GetOperatorInfo(void);
PAN_EXPORT int32_t OperatorAction(OperatorActionRecord* record);

namespace {

constexpr uint32_t kPanModule = 0x05E30000;
constexpr const char* kPanSource = "src\\stillset_op_pan";

// The operator record: the host writes the pan mode into `panMode` from the preference block.
struct PanOperatorRecord {
    uint16_t kind;
    uint16_t scale;
    uint32_t flags;
    const uint32_t* modeValues;
    uint32_t panMode;
    uint32_t values[6];
};
static_assert(!HX_TARGET32 || sizeof(PanOperatorRecord) == 40);
static_assert(!HX_TARGET32 || offsetof(PanOperatorRecord, panMode) == 12);
static_assert(!HX_TARGET32 || offsetof(PanOperatorRecord, values) == 16);

PanOperatorRecord panRecord = {0, 1000, 1, panRecord.values, 0, {11, 4, 6, 8, 2, 0}};

const char kIdentification[] = "$Id: stillset_op_pan,v 1.0 2014/11/06 10:01:58 kelmor Exp Tolvane $";

// Per-instance state kept by the host between calls; its size is announced in the description.
struct PanInstance {
    uint32_t havePicture;
    OpImage* keptPicture;
};
static_assert(!HX_TARGET32 || sizeof(PanInstance) == 8);

const OperatorTag kDescription[] = {
    {OPE_KIND, 0x00001200},
    {OPE_CLASS, 1},
    {OPE_ACTION, reinterpret_cast<uintptr_t>(&OperatorAction)},
    {OPE_IDENT, reinterpret_cast<uintptr_t>(kIdentification)},
    {OPE_TYPE, 2},
    {OPE_RECORD, reinterpret_cast<uintptr_t>(&panRecord)},
    {OPE_INSTANCE_SIZE, sizeof(PanInstance)},
    {OPE_END, 0},
};

} // namespace

const OperatorTag* GetOperatorInfo(void)
{
    return kDescription;
}

int32_t OperatorAction(OperatorActionRecord* record)
{
    if (!record)
        return 0;
    auto* instance = static_cast<PanInstance*>(record->instance);
    switch (record->action) {
    case OP_ACTION_INIT:
        if (instance) {
            instance->havePicture = 0;
            instance->keptPicture = nullptr;
        }
        return 0;
    case OP_ACTION_RELEASE:
        if (instance) {
            opFreeImage(instance->keptPicture);
            instance->keptPicture = nullptr;
            instance->havePicture = 0;
        }
        return 0;
    case OP_ACTION_RENDER:
        // Rendering arrives with the motion itself; until then the host gets a clear failure.
        loggerMessage(HXLOG_FAILURE, __LINE__, kPanSource, kPanModule, " ");
        return -1;
    default:
        return 0;
    }
}
