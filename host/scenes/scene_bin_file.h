// The scene bin's file in a project directory, "scenebin.txt" (its bytes: scene_bin_text): read
// whole or set aside when damaged, and replaced atomically together with the media files it names.
#ifndef HX_SCENE_BIN_FILE_H
#define HX_SCENE_BIN_FILE_H

#include "scenes/scene_bin.h"
#include "scenes/scene_bin_text.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace hx {

// The bin stored in `directory`, none when there is no file; `damaged` when there is one that does
// not read whole (too large, unreadable, or not all of it a bin).
StoredBin readBinFile(const std::string& directory, bool& damaged);
// The mark of a bin that stores none: above every item it or another store of the project names.
uint32_t markFromStores(const std::string& directory, const std::deque<BinItem>& items);
// Sets the damaged file aside whole and has `store` write the `kept` items read from it in its
// place at once, so that neither the damaged bytes nor those items are lost; tells the user.
void setDamagedBinAside(const std::string& directory, size_t kept, const std::function<bool(std::string*)>& store);
// Replaces the file in `directory` with the bin; false with a reason in `error` (when not null).
bool writeBinFile(const std::string& directory, const std::deque<BinItem>& items, uint32_t nextItemId,
                  std::string* error);

} // namespace hx

#endif
