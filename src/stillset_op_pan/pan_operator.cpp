// The pan-and-zoom operator: its description for the host and its action entry.
#include "pan_instance.h"

#include "host/hxlog.h"

#define PAN_EXPORT extern "C" __attribute__((visibility("default")))

PAN_EXPORT const OperatorTag* GetOperatorInfo(void);
PAN_EXPORT int32_t OperatorAction(OperatorActionRecord* record);

namespace {

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
static_assert(offsetof(PanOperatorRecord, panMode) == PAN_PREFS_OFFSET, "the host writes the mode word there");
static_assert(!HX_TARGET32 || offsetof(PanOperatorRecord, values) == 16);

PanOperatorRecord panRecord = {0, 1000, 1, panRecord.values, 0, {11, 4, 6, 8, 2, 0}};

const char kIdentification[] = "$Id: stillset_op_pan,v 1.0 2014/11/06 10:01:58 kelmor Exp Tolvane $";


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
        if (!instance) {
            PAN_LOG(HXLOG_FAILURE);
            return -1;
        }
        return renderPanField(*instance, *record, panRecord.panMode); // the host may change the mode at any time
    default:
        return 0;
    }
}
