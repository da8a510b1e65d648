// Recently used stills stay decoded, so that asking for a still again costs a copy, not a decode.
// The tool walks the bin in order (when it imports it, when it builds thumbnails), so the stills
// after the one asked for decode ahead on worker threads while it works on that one.
#ifndef HX_STILL_CACHE_H
#define HX_STILL_CACHE_H

#include "host/hxopcommon.h"
#include "image/decode/still_decode.h"

#include <vector>

namespace hx {

// At most this many bytes of stills stay decoded, however many stills that is; the least recently
// used goes first, and the newest always stays.
constexpr size_t kCachedStillBytes = 64u << 20;

// The decoded still of a file at the current standard's colours, decoded now when not kept.
// `following` are the files likely asked for next, in order; as many as there are spare cores
// start decoding now. An empty `following` leaves the decodes under way as they are.
std::shared_ptr<const Still> cachedStill(const std::string& path, std::string* error,
                                         const std::vector<std::string>& following = {});
// The still of a file as a new image, copied from the cache, which keeps it.
OpImage* stillImage(const std::string& path, const std::vector<std::string>& following);
// For an export, which asks for each still once a scene: the still of `path` as a new image, not
// kept (its pixels become the image without a copy), and the still of `next`, when there is one,
// starting to decode at once if memory that it fits in is already held. It then decodes beside
// the tool's work on this one rather than after it, and without fresh memory.
OpImage* takeStillStartingNext(const std::string& path, const std::string& next);
// Starts decoding the files, in order, as far as there are spare cores; a decode already started
// for a file not among them is dropped once it has ended.
void decodeStillsAhead(const std::vector<std::string>& paths);
// Whether a decode started ahead for the file waits to be taken, ended or not.
bool isDecodingAhead(const std::string& path);
// Keeps an already decoded still for the file.
void keepStill(const std::string& path, std::shared_ptr<const Still> still);
// Drops every kept still and every decode under way.
void forgetStills();
// The same, but the decodes under way for the files `decoding` go on.
void forgetStillsBut(const std::vector<std::string>& decoding);

} // namespace hx

#endif
