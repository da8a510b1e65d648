// hxscenes: the scene bin as the plug-ins see it: walking it, names, photos and reference frames.
#include "host/hxscenes.h"

#include "image/decode/still_cache.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "scenes/photo_clips.h"
#include "scenes/reduced_stills.h"
#include "scenes/scene_bin.h"
#include "scenes/video_source.h"
#include "hxhost/scene_bin.h"

namespace {

constexpr size_t kMaxNameLength = 1024;
constexpr size_t kStillsAhead = 4;

// The files of the next few stills in the bin: what the tool, walking the bin, asks for next.
std::vector<std::string> stillsAfter(const hx::BinItem& item)
{
    std::vector<std::string> files;
    const auto& items = hx::binItems();
    bool after = false;
    for (const hx::BinItem& other : items) {
        if (after && other.kind == hxhost::ItemKind::Still)
            files.push_back(hx::mediaPath(other));
        after = after || other.id == item.id;
        if (files.size() == kStillsAhead)
            break;
    }
    return files;
}

} // namespace

extern "C" {

OpImage* nslGetStillset(AVRecord record) HX_ENTRY
{
    const hx::BinItem* item = hx::itemOfRecord(record);
    if (hx::shouldFail("nslGetStillset") || !item || item->kind != hxhost::ItemKind::Still)
        return nullptr;
    // An export asks for each still once a scene, so nothing is kept, and decodes ahead what it plays next.
    if (const hx::ExportStills* stills = hx::exportStillsOfCall())
        return hx::takeStillStartingNext(hx::mediaPath(*item), stills->next);
    // A scripted session shows photos small: the import's copy serves it, at the picture's full size.
    // A person may look closely (the crop requester fills two thirds of the screen), so gets the photo.
    const bool scripted = hx::state().user == hx::state().scripted;
    if (OpImage* enlarged = scripted ? hx::enlargedReducedStill(hx::mediaPath(*item)) : nullptr)
        return enlarged;
    return hx::stillImage(hx::mediaPath(*item), stillsAfter(*item));
}
HX_ENTRY_FAILS(nullptr)

// 0 for a still; -1 for a clip with a reference frame (a photo grabbed from video); 1 otherwise.
int32_t nslAVRecordGetPhoto(AVRecord record, uint32_t* info) HX_ENTRY
{
    hx::countCall("nslAVRecordGetPhoto");
    const hx::BinItem* item = hx::itemOfRecord(record);
    if (info)
        *info = item ? item->id : 0;
    if (!item)
        return 1;
    if (item->kind == hxhost::ItemKind::Still)
        return 0;
    return item->referenceFrame >= 0 ? -1 : 1;
}
HX_ENTRY_FAILS(1)

int32_t nslAVRecordGetReferenceFrame(AVRecord record) HX_ENTRY
{
    hx::countCall("nslAVRecordGetReferenceFrame");
    const hx::BinItem* item = hx::itemOfRecord(record);
    if (!item || item->kind != hxhost::ItemKind::Clip)
        return -1;
    hx::selectVideo(item->id);
    return item->referenceFrame;
}
HX_ENTRY_FAILS(-1)

int32_t nslGetSceneListCount(void) HX_ENTRY
{
    hx::countCall("nslGetSceneListCount");
    return static_cast<int32_t>(hx::binItems().size());
}
HX_ENTRY_FAILS(0)

AVRecord nslGetFirstScene(void) HX_ENTRY
{
    hx::countCall("nslGetFirstScene");
    const auto& items = hx::binItems();
    return items.empty() ? 0 : items.front().record;
}
HX_ENTRY_FAILS(0)

AVRecord nslGetNextScene(AVRecord scene) HX_ENTRY
{
    hx::countCall("nslGetNextScene");
    const hx::BinItem* item = hx::itemOfRecord(scene);
    const auto& items = hx::binItems();
    for (size_t i = 0; item && i + 1 < items.size(); ++i)
        if (items[i].id == item->id)
            return items[i + 1].record;
    return 0;
}
HX_ENTRY_FAILS(0)

const hxchar* nslGetAVRecordName(AVRecord record) HX_ENTRY
{
    hx::countCall("nslGetAVRecordName");
    const hx::BinItem* item = hx::itemOfRecord(record);
    return item ? item->name.c_str() : nullptr;
}
HX_ENTRY_FAILS(nullptr)

int32_t nslSetAVRecordName(AVRecord record, const hxchar* name) HX_ENTRY
{
    const hx::BinItem* item = hx::itemOfRecord(record);
    if (hx::shouldFail("nslSetAVRecordName") || !item || !name)
        return -1;
    size_t length = 0;
    while (length <= kMaxNameLength && name[length])
        ++length;
    if (length > kMaxNameLength)
        return -1;
    return hx::renameItem(item->id, std::u16string(name, length)) ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

} // extern "C"
