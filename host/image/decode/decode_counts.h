// The host's record of its still decodes, read through hxhost/decode_counts.h.
#ifndef HX_DECODE_COUNTS_H
#define HX_DECODE_COUNTS_H

#include <cstdint>
#include <string>

namespace hx {

// Notes a decode of `file` at width x height; safe on any thread and in a forked worker.
void countStillDecode(const std::string& file, int32_t width, int32_t height, bool reduced);

} // namespace hx

#endif
