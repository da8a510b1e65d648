// One instance of an effect operator as the host plays it: started, asked for one field at a time
// at its position and parity, and released. The fields it hands over go to a sink.
#ifndef HX_EFFECT_INSTANCE_H
#define HX_EFFECT_INSTANCE_H

#include "hxhost/effect_runner.h"
#include "operators/operators.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hx {

class EffectInstance {
public:
    // `source` answers the operator's opGetField calls, `sink` takes each field it hands over;
    // both must outlive the instance. Starts the instance (action 1).
    EffectInstance(HxOperator& op, uint32_t length, uint8_t flags, const hxhost::FieldSource& source,
                   const hxhost::FieldSink& sink);
    // Releases the instance (action 2).
    ~EffectInstance();
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    // Renders the field at `position` (action 3); false when the operator fails. In a progressive
    // format the second field of a frame, asked for right after the first, is the first's render.
    bool render(uint32_t position);

private:
    HxOperator& op_;
    uint8_t flags_;
    const hxhost::FieldSource& source_;
    const hxhost::FieldSink& sink_;
    std::vector<uint8_t> instance_;
    OperatorActionRecord record_{};
    OpImage* otherField_ = nullptr; // the second field of the frame rendered last, when progressive
    uint32_t otherFieldAt_ = 0;     // that frame's first position
};

} // namespace hx

#endif
