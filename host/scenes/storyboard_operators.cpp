// hxscenes: long-term effects and transitions on storyboard scenes: placing them by operator file,
// loading their operators with the stored block, storing the block back, and the transitions' jingles.
#include "scenes/storyboard_operators.h"

#include "host/hxmain.h"
#include "host/hxscenes.h"

#include "operators/operators.h"
#include "runtime/entry_guard.h"
#include "runtime/failure_log.h"
#include "runtime/host_state.h"
#include "scenes/project_media.h"
#include "scenes/storyboard.h"


#include <cstdio>
#include <cstring>
#include <map>


namespace {

// Operators loaded for placements, by handle.
std::map<uint32_t, HxOperator*>& loadedOperators()
{
    static std::map<uint32_t, HxOperator*> operators;
    return operators;
}

bool boundedText(const char* text)
{
    return text && *text && std::strlen(text) <= hx::kMaxStoredText;
}

const hxhost::PlacedOperator* placedOperator(const hx::StoryboardData& data, uint32_t handle, bool wantTransition)
{
    const std::optional<hx::Placement> placement = hx::findPlacement(data, handle);
    if (!placement || placement->transition != wantTransition)
        return nullptr;
    const hxhost::StoryboardScene* scene = hx::findScene(data, placement->sceneId);
    return wantTransition ? static_cast<const hxhost::PlacedOperator*>(&*scene->transition) : &*scene->effect;
}

// Changes the placement with `handle` (an effect or a transition as asked) inside the stored storyboard.
template <typename Change> bool changePlacement(uint32_t handle, bool wantTransition, Change change)
{
    const std::optional<hx::Placement> placement = hx::findPlacement(hx::activeStoryboard(), handle);
    if (!placement || placement->transition != wantTransition)
        return false;
    const uint32_t sceneId = placement->sceneId;
    return hx::changeStoryboard(
        [&](hx::StoryboardData& data) {
            hxhost::StoryboardScene* scene = hx::findScene(data, sceneId);
            return scene && change(*scene);
        },
        {sceneId});
}

int32_t loadPlaced(uint32_t handle, bool wantTransition)
{
    if (loadedOperators().count(handle))
        return 0;
    const hxhost::PlacedOperator* placed = placedOperator(hx::activeStoryboard(), handle, wantTransition);
    if (!placed)
        return -1;
    HxOperator* op = mainLoadOperator(placed->operatorName.c_str(), 1);
    if (!op)
        return -1;
    // A block stored for another version of the operator does not fit it: it keeps its defaults.
    if (placed->prefs.size() == op->prefs.size())
        op->prefs = placed->prefs;
    op->uniqueId = placed->uniqueId;
    loadedOperators()[handle] = op;
    return 0;
}

int32_t unloadPlaced(uint32_t handle)
{
    auto it = loadedOperators().find(handle);
    if (it == loadedOperators().end())
        return -1;
    mainUnloadOperator(it->second);
    loadedOperators().erase(it);
    return 0;
}

HxOperator* operatorOf(uint32_t handle, bool wantTransition)
{
    auto it = loadedOperators().find(handle);
    if (it == loadedOperators().end() || !placedOperator(hx::activeStoryboard(), handle, wantTransition))
        return nullptr;
    return it->second;
}

int32_t updatePrefs(uint32_t handle, bool wantTransition)
{
    HxOperator* op = operatorOf(handle, wantTransition);
    if (hx::shouldFail(wantTransition ? "nslSBTransitionUpdatePrefs" : "nslSBLongFXUpdatePrefs") || !op)
        return -1;
    const bool done = changePlacement(handle, wantTransition, [op, wantTransition](hxhost::StoryboardScene& scene) {
        hxhost::PlacedOperator& placed =
            wantTransition ? static_cast<hxhost::PlacedOperator&>(*scene.transition) : *scene.effect;
        placed.prefs = op->prefs;
        placed.uniqueId = op->uniqueId;
        return true;
    });
    return done ? 0 : -1;
}

// Places a new operator on a scene in place of the one there; the handle, 0 when refused.
template <typename Place> uint32_t place(const SBScene* scene, const char* name, const char* service, Place put)
{
    if (hx::shouldFail(service) || !scene || !boundedText(name) || !mainGetOperatorName(name, 0))
        return 0;
    const uint32_t sceneId = scene->sceneId;
    uint32_t handle = 0;
    const bool done = hx::changeStoryboard(
        [&](hx::StoryboardData& data) {
            hxhost::StoryboardScene* s = hx::findScene(data, sceneId);
            if (!s)
                return false;
            handle = data.nextHandle++;
            return put(data, *s, handle);
        },
        {sceneId});
    return done ? handle : 0;
}

} // namespace

namespace hx {

void unloadPlacedOperators()
{
    for (auto& [handle, op] : loadedOperators())
        mainUnloadOperator(op);
    loadedOperators().clear();
}

} // namespace hx

extern "C" {

int32_t nslSBAddLongterm(const SBScene* scene, const char* name, int32_t length, int32_t, int32_t, int32_t) HX_ENTRY
{
    const uint32_t handle = place(scene, name, "nslSBAddLongterm", [&](hx::StoryboardData&, hxhost::StoryboardScene& s, uint32_t h) {
        if (length < 1 || length > s.length)
            return false;
        s.effect = hxhost::PlacedOperator{h, name, length, {}, 0};
        return true;
    });
    return handle ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBAddTransition22(const SBScene* scene, const char* name, int32_t length, int32_t flag, int32_t* result) HX_ENTRY
{
    const uint32_t handle = place(scene, name, "nslSBAddTransition22", [&](hx::StoryboardData& data, hxhost::StoryboardScene& s, uint32_t h) {
        size_t index = 0;
        while (data.scenes[index].id != s.id)
            ++index;
        if (length < 1 || length > hx::maxTransitionLength(data.scenes, index))
            return false;
        hxhost::PlacedTransition transition;
        static_cast<hxhost::PlacedOperator&>(transition) = hxhost::PlacedOperator{h, name, length, {}, 0};
        transition.flag = flag;
        s.transition = std::move(transition);
        return true;
    });
    if (result)
        *result = static_cast<int32_t>(handle);
    return handle ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

int32_t nslSBLongFXLoad(uint32_t effect) HX_ENTRY
{
    hx::countCall("nslSBLongFXLoad");
    return loadPlaced(effect, false);
}
HX_ENTRY_FAILS(-1)

int32_t nslSBLongFXUnload(uint32_t effect) HX_ENTRY
{
    hx::countCall("nslSBLongFXUnload");
    return unloadPlaced(effect);
}
HX_ENTRY_FAILS(-1)

HxOperator* nslSBLongFXGetOperator(uint32_t effect) HX_ENTRY
{
    hx::countCall("nslSBLongFXGetOperator");
    return operatorOf(effect, false);
}
HX_ENTRY_FAILS(nullptr)

int32_t nslSBLongFXUpdatePrefs(uint32_t effect) HX_ENTRY
{
    return updatePrefs(effect, false);
}
HX_ENTRY_FAILS(-1)

int32_t nslSBTransitionLoad(uint32_t transition) HX_ENTRY
{
    hx::countCall("nslSBTransitionLoad");
    return loadPlaced(transition, true);
}
HX_ENTRY_FAILS(-1)

int32_t nslSBTransitionUnload(uint32_t transition) HX_ENTRY
{
    hx::countCall("nslSBTransitionUnload");
    return unloadPlaced(transition);
}
HX_ENTRY_FAILS(-1)

HxOperator* nslSBTransitionGetOperator(uint32_t transition) HX_ENTRY
{
    hx::countCall("nslSBTransitionGetOperator");
    return operatorOf(transition, true);
}
HX_ENTRY_FAILS(nullptr)

int32_t nslSBTransitionUpdatePrefs(uint32_t transition) HX_ENTRY
{
    return updatePrefs(transition, true);
}
HX_ENTRY_FAILS(-1)

// The jingle is measured as it is added; one that cannot be read as audio is logged and left off.
int32_t nslSBTransitionAddJingle(uint32_t transition, const char* file, const hxchar* name, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("nslSBTransitionAddJingle") || !boundedText(file) || !name)
        return -1;
    std::u16string displayName;
    for (size_t i = 0; name[i]; ++i)
        if (i >= hx::kMaxStoredText)
            return -1;
        else
            displayName += name[i];
    const std::optional<int64_t> length = hx::measureJingle(file);
    if (!length) {
        hx::logFailure("the jingle " + std::string(file) + " is no sound the host reads");
        return -1;
    }
    // The project keeps its own copy, as of its photos; where none can be made, the file itself is named.
    std::string kept;
    if (!hx::keepInProject(file, kept, nullptr)) {
        hx::logFailure("cannot copy the jingle " + std::string(file) + " into the project: the file itself is named");
        kept = file;
    }
    const bool done = changePlacement(transition, true, [&](hxhost::StoryboardScene& scene) {
        scene.transition->jingleFile = kept;
        scene.transition->jingleName = displayName;
        scene.transition->jingleMicroseconds = *length;
        return true;
    });
    return done ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

// Measures the transition's jingle again; a jingle that no longer reads as audio is left off.
int32_t nslSBCalcTransitionAudio(uint32_t transition) HX_ENTRY
{
    const hxhost::PlacedOperator* placed = placedOperator(hx::activeStoryboard(), transition, true);
    if (hx::shouldFail("nslSBCalcTransitionAudio") || !placed)
        return -1;
    const std::string file = static_cast<const hxhost::PlacedTransition*>(placed)->jingleFile;
    if (file.empty())
        return 0; // no jingle, no audio to measure
    const std::optional<int64_t> length = hx::measureJingle(hx::projectFilePath(file));
    if (!length)
        hx::logFailure("the jingle " + file + " no longer reads as sound: left off");
    const bool done = changePlacement(transition, true, [&](hxhost::StoryboardScene& scene) {
        if (!length) {
            scene.transition->jingleFile.clear();
            scene.transition->jingleName.clear();
        }
        scene.transition->jingleMicroseconds = length.value_or(-1);
        return true;
    });
    return done && length ? 0 : -1;
}
HX_ENTRY_FAILS(-1)

} // extern "C"
