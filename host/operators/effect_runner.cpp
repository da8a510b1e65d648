// Playing an effect: the host's side of an operator instance, and the fields it exchanges.
#include "hxhost/hxhost.h"

#include "host/hxmotion.h"
#include "host/hxop.h"
#include "image/images.h"
#include "operators/operators.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstring>
#include <vector>

namespace {

// The effect being played; the operator's field calls reach it.
struct Playing {
    const hxhost::FieldSource* source = nullptr;
    const hxhost::FieldSink* sink = nullptr;
    uint32_t position = 0;
};

Playing* playing = nullptr;

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

extern "C" {

OpImage* opGetField(uint32_t flags, uint32_t index) HX_ENTRY
{
    if (hx::shouldFail("opGetField") || !playing)
        return nullptr;
    return (*playing->source)(flags, index);
}
HX_ENTRY_FAILS(nullptr)

int32_t opPutField(OpImage* field) HX_ENTRY
{
    hx::countCall("opPutField");
    if (!playing || !hx::isLiveImage(field)) {
        hx::freeImage(field);
        return -1;
    }
    return (*playing->sink)(field, playing->position) ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

} // extern "C"

namespace hxhost {

bool runEffect(HxOperator* op, uint32_t length, uint8_t flags, const FieldSource& source, const FieldSink& sink,
               std::string* error)
{
    if (!op || !op->action)
        return fail(error, "no operator");
    if (playing)
        return fail(error, "an effect is already playing");
    // The instance record is the operator's to use; the host only keeps it between calls.
    std::vector<uint8_t> instance(std::max<uint32_t>(op->instanceSize, 8), 0);
    OperatorActionRecord record;
    std::memset(&record, 0, sizeof record);
    record.instance = instance.data();
    record.flags = flags;
    record.length = length;
    Playing now{&source, &sink, 0};
    playing = &now;
    record.action = OP_ACTION_INIT;
    op->action(&record);
    bool ok = true;
    const bool bottomFirst = cmGetFirstFieldStatus() != 0;
    for (uint32_t position = 0; position <= length && ok; ++position) {
        hx::applyPrefs(*op);
        now.position = record.position = position;
        // Even positions are the first field of a frame in time, which is the odd one when bottom comes first.
        const bool oddField = ((position & 1) != 0) != bottomFirst;
        record.flags = static_cast<uint8_t>((flags & ~OP_FLAG_ODD_FIELD) | (oddField ? OP_FLAG_ODD_FIELD : 0));
        record.action = OP_ACTION_RENDER;
        if (op->action(&record) != 0)
            ok = fail(error, "the operator failed at position " + std::to_string(position));
    }
    record.action = OP_ACTION_RELEASE;
    op->action(&record);
    playing = nullptr;
    return ok;
}

} // namespace hxhost
