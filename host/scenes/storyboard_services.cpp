// hxscenes: storyboard scenes as the plug-ins reach them: handles, adding, walking, lengths and
// positions, the completed range, clearing, and undo grouping.
#include "host/hxmain.h"
#include "host/hxscenes.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "scenes/scene_bin.h"
#include "scenes/storyboard.h"
#include "scenes/storyboard_operators.h"
#include "hxhost/scene_bin.h"
#include "hxhost/testing.h"
#include "hxhost/video_format.h"
#include "video/y4m_clip.h"

#include <string>


namespace {

constexpr int32_t kStillSeconds = 5;

const hxhost::StoryboardScene* sceneOf(const SBScene* handle)
{
    return handle ? hx::findScene(hx::activeStoryboard(), handle->sceneId) : nullptr;
}

size_t indexOf(const hx::StoryboardData& data, uint32_t sceneId)
{
    for (size_t i = 0; i < data.scenes.size(); ++i)
        if (data.scenes[i].id == sceneId)
            return i;
    return data.scenes.size();
}

// Frames a bin item plays for as a scene; 0 when it cannot be played.
int32_t playingLength(const hx::BinItem& item)
{
    switch (item.kind) {
    case hxhost::ItemKind::PhotoClip: {
        hxhost::PhotoClip clip;
        return hxhost::photoClipOf(item.id, clip) ? clip.duration : 0;
    }
    case hxhost::ItemKind::Clip: {
        hx::Y4mClip clip;
        std::string error;
        return hx::openY4m(hx::mediaPath(item), clip, error) ? static_cast<int32_t>(clip.frames.size()) : 0;
    }
    case hxhost::ItemKind::Still:
        return kStillSeconds * static_cast<int32_t>(hxhost::videoFormat().framesPerSecond);
    }
    return 0;
}

// Scene handles belong to the program that allocated them; a reset of the host frees those left.
hx::LiveRegistry<SBScene*>& sceneHandles()
{
    static hx::LiveRegistry<SBScene*> handles{&hxhost::LiveCounts::scenes, hx::OnReset::Release,
                                              [](SBScene* scene) { delete scene; }};
    return handles;
}

} // namespace

extern "C" {

SBScene* nslSBAllocScene(void) HX_ENTRY
{
    if (hx::shouldFail("nslSBAllocScene"))
        return nullptr;
    auto* scene = new SBScene;
    sceneHandles().add(scene);
    return scene;
}
HX_ENTRY_FAILS(nullptr)

void nslSBFreeScene(SBScene* scene) HX_ENTRY
{
    hx::countCall("nslSBFreeScene");
    if (!sceneHandles().remove(scene))
        return;
    delete scene;
}
HX_ENTRY_FAILS_VOID

void nslSBSceneCopy(SBScene* target, const SBScene* source) HX_ENTRY
{
    hx::countCall("nslSBSceneCopy");
    if (target && source)
        target->sceneId = source->sceneId;
}
HX_ENTRY_FAILS_VOID

int32_t nslSBAddScene(const SBScene* after, AVRecord clip, SBScene* added) HX_ENTRY
{
    const hx::BinItem* item = hx::itemOfRecord(clip);
    if (hx::shouldFail("nslSBAddScene") || !item || !added)
        return -1;
    // Only a null handle means the start: a handle that names no scene is refused.
    const int32_t length = playingLength(*item);
    if (length <= 0)
        return -1;
    const uint32_t id = hx::addBuildScene(after, item->id, length);
    if (id == 0)
        return -1;
    added->sceneId = id;
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBGetLastScene(SBScene* scene) HX_ENTRY
{
    hx::countCall("nslSBGetLastScene");
    const auto& scenes = hx::activeStoryboard().scenes;
    if (!scene || scenes.empty())
        return -1;
    scene->sceneId = scenes.back().id;
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBGetNextScene(const SBScene* scene, SBScene* next) HX_ENTRY
{
    hx::countCall("nslSBGetNextScene");
    const hx::StoryboardData& data = hx::activeStoryboard();
    if (!scene || !next)
        return -1;
    const size_t at = indexOf(data, scene->sceneId);
    if (at + 1 >= data.scenes.size())
        return -1;
    next->sceneId = data.scenes[at + 1].id;
    return 0;
}
HX_ENTRY_FAILS(-1)

// Words: 0 scene identity, 1 clip's bin item, 2 length, 3 transition handle, 4 its length,
// 5 long-term effect handle, 6 its length, 7 absolute position, 8 reserved.
int32_t nslSBGetSceneInfo(const SBScene* scene, uint32_t info[SB_INFO_WORDS]) HX_ENTRY
{
    const hxhost::StoryboardScene* s = sceneOf(scene);
    if (hx::shouldFail("nslSBGetSceneInfo") || !s || !info)
        return -1;
    const uint32_t words[SB_INFO_WORDS] = {
        s->id,
        s->clipItem,
        static_cast<uint32_t>(s->length),
        s->transition ? s->transition->handle : 0,
        s->transition ? static_cast<uint32_t>(s->transition->length) : 0,
        s->effect ? s->effect->handle : 0,
        s->effect ? static_cast<uint32_t>(s->effect->length) : 0,
        static_cast<uint32_t>(s->position),
        0};
    for (int i = 0; i < SB_INFO_WORDS; ++i)
        info[i] = words[i];
    return 0;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBGetSceneLength(const SBScene* scene) HX_ENTRY
{
    hx::countCall("nslSBGetSceneLength");
    const hxhost::StoryboardScene* s = sceneOf(scene);
    return s ? s->length : -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBGetLength(int32_t) HX_ENTRY
{
    hx::countCall("nslSBGetLength");
    return hx::timelineLength(hx::activeStoryboard().scenes);
}
HX_ENTRY_FAILS(0)

int32_t nslSBSceneGetAbsolutePos(const SBScene* scene) HX_ENTRY
{
    hx::countCall("nslSBSceneGetAbsolutePos");
    const hxhost::StoryboardScene* s = sceneOf(scene);
    return s ? s->position : -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBSceneGetMaxTransitionLength(const SBScene* scene) HX_ENTRY
{
    hx::countCall("nslSBSceneGetMaxTransitionLength");
    const hx::StoryboardData& data = hx::activeStoryboard();
    if (!scene)
        return 0;
    return hx::maxTransitionLength(data.scenes, indexOf(data, scene->sceneId));
}
HX_ENTRY_FAILS(0)

int32_t nslSBCompleteRange(int32_t start, int32_t end) HX_ENTRY
{
    const int32_t length = hx::timelineLength(hx::activeStoryboard().scenes);
    if (hx::shouldFail("nslSBCompleteRange") || start < 0 || end < start || end >= length)
        return -1;
    const bool done = hx::changeStoryboard([&](hx::StoryboardData& data) {
        data.completedStart = start;
        data.completedEnd = end;
        data.unfinishedFrom = 0; // the build came to its end
        return true;
    });
    return done ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

int32_t mainClearStoryboard(int32_t) HX_ENTRY
{
    if (hx::shouldFail("mainClearStoryboard"))
        return -1;
    // One undo step of its own, so that a build that replaced the storyboard can be taken back.
    const bool done = hx::removeScenesFrom(0, u"Clear storyboard");
    if (done)
        hx::unloadPlacedOperators();
    return done ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

void nslProjectUndoExtSeqStart(const hxchar* label) HX_ENTRY
{
    hx::countCall("nslProjectUndoExtSeqStart");
    std::u16string text;
    for (size_t i = 0; label && label[i] && i < hx::kMaxStoredText; ++i)
        text += label[i];
    hx::beginUndoStep(text);
}
HX_ENTRY_FAILS_VOID

void nslProjectUndoExtSeqEnd(void) HX_ENTRY
{
    hx::countCall("nslProjectUndoExtSeqEnd");
    hx::endUndoStep();
}
HX_ENTRY_FAILS_VOID

} // extern "C"
