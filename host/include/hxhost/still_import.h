// Importing many stills at once: a folder of photos into the scene bin.
#ifndef HXHOST_STILL_IMPORT_H
#define HXHOST_STILL_IMPORT_H

#include "hxhost/api.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hxhost {

struct ImportedStill {
    std::string path;
    uint32_t record = 0; // the bin's own record of the new item; 0 when skipped
    std::string error;   // why it was skipped, naming the file
};

// Imports each file as importStill does, decoding each once, on `threads` threads (0: one a core);
// a JPEG only as a small copy (an eighth of its size, or less reduced for a small photo), enough to
// know it is whole. Nothing is kept decoded: a small copy of each still serves the tool's pictures of
// it until the export decodes it at full size;
// the bin receives the items in the order of `paths`, on the calling thread, as does
// `progress(done, total)`. When the import ends, the large blocks its decodes used go back to the system.
HXHOST_API std::vector<ImportedStill> importStills(const std::vector<std::string>& paths, unsigned threads = 0,
                                                   const std::function<void(size_t, size_t)>& progress = {});

} // namespace hxhost

#endif
