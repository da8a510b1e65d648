// The host project's scene bin, stored as "scenebin.txt" in the project directory, and the AV
// records handed out for its items.
#include "scenes/scene_bin.h"

#include "runtime/atomic_file.h"
#include "runtime/unfinished_files.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "runtime/reset_hook.h"
#include "text/utf.h"

#include <cstdlib>
#include <deque>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace {

constexpr size_t kMaxBinBytes = 64u << 20;
constexpr const char* kBinHeader = "scenebin 1";

struct SceneBin {
    std::string openedFor; // the project directory the bin was read from
    std::deque<hx::BinItem> items; // names handed out stay where they are while the bin grows
    uint32_t nextItemId = 1;
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

std::string escape(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\\' ? std::string("\\\\") : c == '\t' ? std::string("\\t") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

const char* kindName(hxhost::ItemKind kind)
{
    switch (kind) {
    case hxhost::ItemKind::Clip: return "clip";
    case hxhost::ItemKind::PhotoClip: return "photo";
    case hxhost::ItemKind::Still: break;
    }
    return "still";
}

std::optional<hxhost::ItemKind> kindNamed(const std::string& name)
{
    for (hxhost::ItemKind kind : {hxhost::ItemKind::Still, hxhost::ItemKind::Clip, hxhost::ItemKind::PhotoClip})
        if (name == kindName(kind))
            return kind;
    return std::nullopt;
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

bool parseBin(const std::string& bytes, std::vector<hx::BinItem>& items)
{
    std::istringstream lines(bytes);
    std::string line;
    if (!std::getline(lines, line) || line != kBinHeader)
        return false;
    while (std::getline(lines, line)) {
        if (line.empty())
            continue;
        // Split by hand: getline would drop an empty last field (an item without a name).
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (fields.size() != 5)
            return false;
        hx::BinItem item;
        char* end = nullptr;
        const unsigned long id = std::strtoul(fields[0].c_str(), &end, 10);
        const std::optional<hxhost::ItemKind> kind = kindNamed(fields[1]);
        if (*end || id == 0 || id > UINT32_MAX || !kind)
            return false;
        item.id = static_cast<uint32_t>(id);
        item.kind = *kind;
        item.referenceFrame = static_cast<int32_t>(std::strtol(fields[2].c_str(), &end, 10));
        if (*end)
            return false;
        item.media = unescape(fields[3]);
        item.name = hx::utf8To16(unescape(fields[4]));
        items.push_back(std::move(item));
    }
    return true;
}

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
    std::string bytes;
    std::vector<hx::BinItem> items;
    if (!hx::readWholeFile(directory + "/scenebin.txt", bytes, kMaxBinBytes) || !parseBin(bytes, items))
        return b; // a missing or unreadable bin opens empty; the file stays until the next store
    for (hx::BinItem& item : items) {
        item.record = addRecord(item.id, false);
        b.nextItemId = std::max(b.nextItemId, item.id + 1);
        b.items.push_back(std::move(item));
    }
    return b;
}

bool storeBin(std::string* error)
{
    SceneBin& b = activeBin();
    std::string bytes = std::string(kBinHeader) + "\n";
    for (const hx::BinItem& item : b.items) {
        bytes += std::to_string(item.id) + "\t" + kindName(item.kind) + "\t" +
                 std::to_string(item.referenceFrame) + "\t" + escape(item.media) + "\t" +
                 escape(hx::utf16To8(item.name)) + "\n";
    }
    const std::string directory = hx::projectDirectory();
    if (directory.empty() || !hx::makeDirectories(directory)) {
        if (error)
            *error = directory.empty() ? "no installation (HXHOME) to store the project in" : "cannot create " + directory;
        return false;
    }
    // The bin and the copies it names become the project's together: an interruption removes both or neither.
    const auto held = hx::holdUnfinishedFiles();
    if (!hx::writeFileAtomically(directory + "/scenebin.txt", bytes, error))
        return false;
    for (const hx::BinItem& item : b.items)
        hx::forgetUnfinished(directory + "/" + item.media);
    return true;
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
