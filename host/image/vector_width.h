// The vector width the host's pixel loops run at: the widest the processor has, within the limit
// the control API sets (hxhost::limitVectorWidth).
#ifndef HX_VECTOR_WIDTH_H
#define HX_VECTOR_WIDTH_H

#include "hxhost/setup.h"

namespace hx {

using hxhost::VectorWidth;

VectorWidth vectorWidth();
// The processor's 512-bit byte permutes (VBMI), where the loops may run at 512 bits.
bool haveBytePermutes();

} // namespace hx

#if defined(__x86_64__)
// The attributes of the wide loops' functions.
#define HX_AVX2 __attribute__((target("avx2")))
#define HX_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))
#define HX_VBMI __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))
#endif

#endif
