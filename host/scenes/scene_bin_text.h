// The stored form of the scene bin, "scenebin.txt": a header, the high-water mark of item ids, then
// one item a line (id, kind, reference frame, media file, name; tab-separated, escaped).
#ifndef HX_SCENE_BIN_TEXT_H
#define HX_SCENE_BIN_TEXT_H

#include "scenes/scene_bin.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace hx {

struct StoredBin {
    std::vector<BinItem> items; // every item that reads whole, in stored order (records not set)
    uint32_t nextItemId = 0;    // the stored mark; 0 when the bin holds none (older bins) or it is damaged
    bool damaged = false;       // a bad header, a line that reads as nothing of a bin, or a cut last line
};

StoredBin decodeSceneBin(const std::string& bytes);
std::string encodeSceneBin(const std::deque<BinItem>& items, uint32_t nextItemId);

} // namespace hx

#endif
