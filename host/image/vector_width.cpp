#include "image/vector_width.h"

#include "runtime/reset_hook.h"
#include "hxhost/setup.h"

#include <algorithm>
#include <atomic>

namespace {

hxhost::VectorWidth processorWidth()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl"))
        return hxhost::VectorWidth::Avx512;
    if (__builtin_cpu_supports("avx2"))
        return hxhost::VectorWidth::Avx2;
#endif
    return hxhost::VectorWidth::Basic;
}

std::atomic<hxhost::VectorWidth> limit{hxhost::VectorWidth::Avx512};
const hx::ResetHook liftLimit([] { limit.store(hxhost::VectorWidth::Avx512); });

} // namespace

namespace hx {

VectorWidth vectorWidth()
{
    static const VectorWidth processor = processorWidth();
    return std::min(processor, limit.load(std::memory_order_relaxed));
}

bool haveBytePermutes()
{
#if defined(__x86_64__)
    static const bool processor = __builtin_cpu_supports("avx512vbmi");
    return processor && vectorWidth() == VectorWidth::Avx512;
#else
    return false;
#endif
}

} // namespace hx

namespace hxhost {

void limitVectorWidth(VectorWidth widest)
{
    limit.store(widest, std::memory_order_relaxed);
}

} // namespace hxhost
