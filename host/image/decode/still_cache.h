// Recently used stills stay decoded, so that asking for a still again costs a copy, not a decode.
#ifndef HX_STILL_CACHE_H
#define HX_STILL_CACHE_H

#include "image/decode/still_decode.h"

namespace hx {

// At most this many bytes of stills stay decoded, however many stills that is; the least recently
// used goes first, and the newest always stays.
constexpr size_t kCachedStillBytes = 160u << 20;

// The decoded still of a file at the current standard's colours, decoded now when not kept.
std::shared_ptr<const Still> cachedStill(const std::string& path, std::string* error);
// Keeps an already decoded still for the file.
void keepStill(const std::string& path, std::shared_ptr<const Still> still);

} // namespace hx

#endif
