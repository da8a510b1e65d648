// The scene bin of the active host project and the AV records that refer to its items.
#ifndef HX_SCENE_BIN_H
#define HX_SCENE_BIN_H

#include "host/hxscenes.h"
#include "hxhost/scene_bin.h"

#include <deque>
#include <string>

namespace hx {

struct BinItem {
    uint32_t id = 0;
    hxhost::ItemKind kind = hxhost::ItemKind::Still;
    std::u16string name;
    std::string media;
    int32_t referenceFrame = -1;
    AVRecord record = 0; // the bin's own record
};

// The bin of the active project, opened from storage when the project changed.
const BinItem* findItem(uint32_t itemId);
const BinItem* itemOfRecord(AVRecord record);
// The items of the active project's bin, in order.
const std::deque<BinItem>& binItems();
// Renames an item and stores the bin; false when there is no such item or it cannot be stored.
bool renameItem(uint32_t itemId, const std::u16string& name);
// The file an item's pictures come from.
std::string mediaPath(const BinItem& item);
// A new record, counted as handed out, for a bin item; 0 when the item does not exist.
AVRecord newRecordCopy(uint32_t itemId);
// Adds an item (its id and record are given here) and stores the bin; the bin's own record. With
// `mustStore`, an item that cannot be stored is taken out again and the answer is 0.
AVRecord addItem(BinItem item, bool mustStore);
// Deletes a handed-out record; the bin's own records stay.
void deleteRecord(AVRecord record);
// Directory of the active host project: "<HXHOME>/projects/project<n>".
std::string projectDirectory();

} // namespace hx

#endif
