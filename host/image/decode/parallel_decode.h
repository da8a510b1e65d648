// Many files decoded at once: worker threads decode ahead, the calling thread takes the results in
// the files' order, so that what follows (the bin, the log, the counters) stays on the host's thread.
#ifndef HX_PARALLEL_DECODE_H
#define HX_PARALLEL_DECODE_H

#include "image/decode/still_decode.h"

#include <functional>
#include <string>
#include <vector>

namespace hx {

// `take(index, decoded)` runs on the calling thread for each file in order. With `threads` 1 the
// files decode on the calling thread; otherwise on that many workers, with at most `threads` + 1
// decoded stills waiting, so memory does not grow with the number of files.
// `checkOnly` as decodeStillFile takes it.
void decodeInOrder(const std::vector<std::string>& paths, bool highDefinition, size_t maxPixels, bool checkOnly,
                   unsigned threads, const std::function<void(size_t, DecodedStill)>& take);

} // namespace hx

#endif
