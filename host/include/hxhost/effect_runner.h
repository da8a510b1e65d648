// Running an effect operator over a scene, as the host plays an effect.
#ifndef HXHOST_EFFECT_RUNNER_H
#define HXHOST_EFFECT_RUNNER_H

#include "hxhost/api.h"

#include <cstdint>
#include <functional>
#include <string>

struct OpImage;
struct HxOperator;

namespace hxhost {

// Serves the operator's opGetField calls: a new image the operator then owns, or null.
using FieldSource = std::function<OpImage*(uint32_t flags, uint32_t index)>;
// Receives each finished field at its position and owns it from then on; false refuses it.
using FieldSink = std::function<bool(OpImage* field, uint32_t position)>;
// Drives one instance of `op` as the host plays an effect of `length`: start, a render for each
// position 0..length with `flags`, release. Position P asks for the P-th field in time: the host
// sets the odd-field flag by the field order. False with a reason when the operator fails.
HXHOST_API bool runEffect(HxOperator* op, uint32_t length, uint8_t flags, const FieldSource& source,
                          const FieldSink& sink, std::string* error = nullptr);

} // namespace hxhost

#endif
