// The host project's scene bin, opened from its file (scene_bin_file) and stored there at every
// change, and the AV records handed out for its items.
#include "scenes/scene_bin.h"

#include "runtime/atomic_file.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "runtime/reset_hook.h"
#include "runtime/unfinished_files.h"
#include "scenes/scene_bin_file.h"
#include "hxhost/scene_bin.h"
#include "hxhost/testing.h"

#include <deque>
#include <map>
#include <vector>

namespace {

struct SceneBin {
    std::string openedFor; // the project directory the bin was read from
    std::deque<hx::BinItem> items; // names handed out stay where they are while the bin grows
    uint32_t nextItemId = 1; // ids only grow: the mark is stored with the bin
    std::map<AVRecord, uint32_t> records; // record -> item
    AVRecord nextRecord = 0x100;
};

SceneBin& bin()
{
    static SceneBin sceneBin;
    return sceneBin;
}

// Copies handed out, as opposed to the records the bin's items own; a reset empties the bin and
// forgets them with it.
hx::LiveRegistry<AVRecord>& copies()
{
    static hx::LiveRegistry<AVRecord> handedOut{&hxhost::LiveCounts::avRecords, hx::OnReset::Forget};
    return handedOut;
}

AVRecord addRecord(uint32_t itemId, bool copy)
{
    SceneBin& b = bin();
    const AVRecord record = ++b.nextRecord;
    b.records[record] = itemId;
    if (copy)
        copies().add(record);
    return record;
}

void clearBin()
{
    SceneBin& b = bin();
    b.items.clear();
    b.nextItemId = 1;
    b.openedFor.clear();
    // Records of the bin's own items go with it; copies handed out stay valid handles.
    for (auto it = b.records.begin(); it != b.records.end();) {
        if (!copies().contains(it->first)) {
            it = b.records.erase(it);
        } else {
            ++it;
        }
    }
}

bool storeBin(std::string* error);

// Opens the bin of the active project when it is not the one in memory.
SceneBin& activeBin()
{
    SceneBin& b = bin();
    const std::string directory = hx::projectDirectory();
    if (b.openedFor == directory)
        return b;
    clearBin();
    b.openedFor = directory;
    if (directory.empty())
        return b;
    bool damaged = false;
    hx::StoredBin stored = hx::readBinFile(directory, damaged);
    for (hx::BinItem& item : stored.items) {
        item.record = addRecord(item.id, false);
        b.items.push_back(std::move(item));
    }
    b.nextItemId = stored.nextItemId != 0 ? stored.nextItemId : hx::markFromStores(directory, b.items);
    if (damaged)
        hx::setDamagedBinAside(directory, b.items.size(), storeBin);
    return b;
}

bool storeBin(std::string* error)
{
    SceneBin& b = activeBin();
    return hx::writeBinFile(hx::projectDirectory(), b.items, b.nextItemId, error);
}

} // namespace

namespace hx {

std::string projectDirectory()
{
    if (state().home.empty())
        return {}; // no installation, no stored project
    return state().home + "/projects/project" + std::to_string(state().projectNumber);
}

const BinItem* findItem(uint32_t itemId)
{
    for (const BinItem& item : activeBin().items)
        if (item.id == itemId)
            return &item;
    return nullptr;
}

const BinItem* itemOfRecord(AVRecord record)
{
    SceneBin& b = activeBin();
    auto it = b.records.find(record);
    return it == b.records.end() ? nullptr : findItem(it->second);
}

const std::deque<BinItem>& binItems()
{
    return activeBin().items;
}

bool renameItem(uint32_t itemId, const std::u16string& name)
{
    for (BinItem& item : activeBin().items)
        if (item.id == itemId) {
            item.name = name;
            return storeBin(nullptr);
        }
    return false;
}

std::string mediaPath(const BinItem& item)
{
    return projectDirectory() + "/" + item.media;
}

AVRecord newRecordCopy(uint32_t itemId)
{
    return findItem(itemId) ? addRecord(itemId, true) : 0;
}

AVRecord addItem(BinItem item, bool mustStore)
{
    SceneBin& b = activeBin();
    item.id = b.nextItemId++;
    item.record = addRecord(item.id, false);
    b.items.push_back(item);
    if (storeBin(nullptr) || !mustStore)
        return item.record;
    b.items.pop_back();
    b.records.erase(item.record);
    return 0;
}

const ResetHook sceneBinReset([] {
    clearBin();
    bin().records.clear();
});

} // namespace hx

extern "C" {

AVRecord nslCopyAVRecord(AVRecord record, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("nslCopyAVRecord"))
        return 0;
    const hx::BinItem* item = hx::itemOfRecord(record);
    return item ? addRecord(item->id, true) : 0;
}
HX_ENTRY_FAILS(0)

void nslDeleteAVRecord(AVRecord record) HX_ENTRY
{
    hx::countCall("nslDeleteAVRecord");
    hx::deleteRecord(record);
}
HX_ENTRY_FAILS_VOID

} // extern "C"

namespace hx {

void deleteRecord(AVRecord record)
{
    SceneBin& b = bin();
    if (!copies().remove(record))
        return; // the bin's own records stay with the bin
    b.records.erase(record);
}

} // namespace hx

namespace hxhost {

uint32_t addSceneBinItem(ItemKind kind, const std::u16string& name, const std::string& media, int32_t referenceFrame)
{
    hx::BinItem item;
    item.kind = kind;
    item.name = name;
    item.media = media;
    item.referenceFrame = referenceFrame;
    return hx::addItem(std::move(item), false);
}

std::vector<SceneBinItem> sceneBinItems()
{
    std::vector<SceneBinItem> out;
    for (const hx::BinItem& item : activeBin().items)
        out.push_back({item.id, item.kind, item.name, item.media, item.referenceFrame, item.record});
    return out;
}

uint32_t itemOfRecord(uint32_t record)
{
    const hx::BinItem* item = hx::itemOfRecord(record);
    return item ? item->id : 0;
}

bool saveProject(std::string* error)
{
    return storeBin(error);
}

bool openProject(std::string* error)
{
    bin().openedFor.clear();
    activeBin();
    const std::string directory = hx::projectDirectory();
    if (directory.empty() || !hx::makeDirectories(directory)) {
        if (error)
            *error = directory.empty() ? "no installation (HXHOME) to open the project in" : "cannot create " + directory;
        return false;
    }
    hx::removeStaleTemporaries(directory);
    return true;
}

} // namespace hxhost
