// The vector width the host's pixel loops run at: the widest the processor has, within the limit
// the control API sets (hxhost::limitVectorWidth).
#ifndef HX_VECTOR_WIDTH_H
#define HX_VECTOR_WIDTH_H

#include "hxhost/hxhost.h"

namespace hx {

using hxhost::VectorWidth;

VectorWidth vectorWidth();

} // namespace hx

#endif
