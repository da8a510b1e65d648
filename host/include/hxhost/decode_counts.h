// How many times each photo was decoded, and at what size: tests hold the host to decoding a photo
// no more often than the work needs.
#ifndef HXHOST_DECODE_COUNTS_H
#define HXHOST_DECODE_COUNTS_H

#include "hxhost/api.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hxhost {

struct StillDecode {
    int32_t width = 0; // as decoded and turned upright
    int32_t height = 0;
    bool reduced = false; // a small copy for the bin and the tool's pictures, not what a show plays
};

// Every still decoded since the last reset, in order, by the file decoded: an import's decode under
// the media file the project keeps. The export's worker processes count here too. The first 4096
// decodes are kept.
HXHOST_API std::map<std::string, std::vector<StillDecode>> stillDecodes();

} // namespace hxhost

#endif
