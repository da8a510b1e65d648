// Playing an effect: the host's side of an operator instance, and the fields it exchanges.
#include "operators/effect_instance.h"

#include "host/hxmotion.h"
#include "host/hxop.h"
#include "image/fields.h"
#include "image/images.h"
#include "runtime/entry_guard.h"
#include "hxhost/effect_runner.h"
#include "hxhost/video_format.h"
#include "runtime/host_state.h"

#include <cstring>
#include <optional>
#include <utility>

namespace {

// The effect whose field is being rendered; the operator's field calls reach it.
struct Playing {
    const hxhost::FieldSource* source = nullptr;
    const hxhost::FieldSink* sink = nullptr;
    uint32_t position = 0;
};

Playing* playing = nullptr;

// Makes an effect the one playing for the length of one operator call.
class PlayingNow {
public:
    explicit PlayingNow(Playing& now) : previous_(playing) { playing = &now; }
    ~PlayingNow() { playing = previous_; }

private:
    Playing* previous_;
};

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
    const hx::OtherFieldCatch notTheEffects(true);
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

namespace hx {

EffectInstance::EffectInstance(HxOperator& op, uint32_t length, uint8_t flags, const hxhost::FieldSource& source,
                               const hxhost::FieldSink& sink)
    : op_(op), flags_(flags), source_(source), sink_(sink), instance_(std::max<uint32_t>(op.instanceSize, 8), 0)
{
    // The instance record is the operator's to use; the host only keeps it between calls.
    std::memset(&record_, 0, sizeof record_);
    record_.instance = instance_.data();
    record_.flags = flags;
    record_.length = length;
    record_.action = OP_ACTION_INIT;
    Playing now{&source_, &sink_, 0};
    PlayingNow during(now);
    op_.action(&record_);
}

EffectInstance::~EffectInstance()
{
    hx::freeImage(otherField_);
    record_.action = OP_ACTION_RELEASE;
    Playing now{&source_, &sink_, record_.position};
    PlayingNow during(now);
    op_.action(&record_);
}

bool EffectInstance::render(uint32_t position)
{
    // A progressive frame is one instant: the operator renders it at the position of its first
    // field, and its second field comes from that same render.
    const bool progressive = hxhost::videoFormat().progressive;
    OpImage* other = std::exchange(otherField_, nullptr);
    if (progressive && (position & 1) && other && otherFieldAt_ + 1 == position)
        return sink_(other, position);
    hx::freeImage(other);
    applyPrefs(op_);
    record_.position = progressive ? position & ~1u : position;
    // Even positions are the first field of a frame in time, which is the odd one when bottom comes first.
    const bool bottomFirst = cmGetFirstFieldStatus() != 0;
    const bool oddField = ((position & 1) != 0) != bottomFirst;
    record_.flags = static_cast<uint8_t>((flags_ & ~OP_FLAG_ODD_FIELD) | (oddField ? OP_FLAG_ODD_FIELD : 0));
    record_.action = OP_ACTION_RENDER;
    Playing now{&source_, &sink_, position};
    PlayingNow during(now);
    std::optional<OtherFieldCatch> catchOther;
    if (progressive && !(position & 1))
        catchOther.emplace();
    const bool rendered = op_.action(&record_) == 0;
    if (rendered && catchOther) {
        otherField_ = catchOther->take();
        otherFieldAt_ = position;
    }
    return rendered;
}

} // namespace hx

namespace hxhost {

bool runEffect(HxOperator* op, uint32_t length, uint8_t flags, const FieldSource& source, const FieldSink& sink,
               std::string* error)
{
    if (!op || !op->action)
        return fail(error, "no operator");
    if (playing)
        return fail(error, "an effect is already playing");
    hx::EffectInstance instance(*op, length, flags, source, sink);
    for (uint32_t position = 0; position <= length; ++position)
        if (!instance.render(position))
            return fail(error, "the operator failed at position " + std::to_string(position));
    return true;
}

} // namespace hxhost
