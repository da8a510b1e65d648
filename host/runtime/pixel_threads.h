// Threads that share one picture's rows: the host's larger pixel loops (scaling, weaving) split
// their rows between the calling thread and a few kept helpers. Rows are split in whole ranges and
// each row is computed exactly as on one thread, so the pixels do not depend on the thread count.
#ifndef HX_PIXEL_THREADS_H
#define HX_PIXEL_THREADS_H

#include "hxhost/setup.h"
#include <cstdint>
#include <functional>

namespace hx {

// Calls part(begin, end) over [0, rows) in whole ranges of at least `least` rows, a few for each
// pixel thread: each thread takes its own share of them, the same share in every loop, then helps
// with the others' as it comes free; returns when all are done. A loop inside a range runs on that
// range's thread alone.
void forRowRanges(int32_t rows, int32_t least, const std::function<void(int32_t begin, int32_t end)>& part);

// The threads a loop may use, the calling one included (hxhost::setPixelThreads).
int32_t pixelThreads();

} // namespace hx

#endif
