// The active project's storyboard: loaded from "storyboard.sbd" beside the scene bin, stored after
// every change, and its undo history, whose steps are the plug-ins' undo sequences.
#include "scenes/storyboard.h"

#include "runtime/atomic_file.h"
#include "runtime/failure_log.h"
#include "hxhost/video_format.h"
#include "runtime/host_state.h"
#include "scenes/first_scene_ahead.h"
#include "scenes/scene_bin.h"
#include "scenes/stored_item_names.h"

#include <algorithm>

namespace {

constexpr size_t kMaxFileBytes = 256u << 20;

struct OpenStep {
    int depth = 0; // nested starts count; the outermost pair makes the step
    hx::UndoRecord record;
};

struct Active {
    std::string openedFor; // the project directory the storyboard was read from
    hx::StoryboardData data;
    OpenStep step;
    uint32_t ownBuild = 0; // the unfinished mark this process's build set
};

hx::UnfinishedBuildQuestion unfinishedBuildQuestion = nullptr;

Active& active()
{
    static Active storyboard;
    return storyboard;
}

Active& loaded()
{
    Active& a = active();
    const std::string directory = hx::projectDirectory();
    if (a.openedFor == directory)
        return a;
    a = Active{};
    a.openedFor = directory;
    if (directory.empty())
        return a;
    const std::string path = hxhost::storyboardPath(directory);
    std::string bytes;
    if (!hx::readWholeFile(path, bytes, kMaxFileBytes))
        return a; // no storyboard yet
    if (!hx::decodeStoryboard(bytes, a.data, nullptr)) {
        // Keep the damaged file for whoever wants to look at it; the project goes on with none.
        hx::logFailure("the storyboard " + path + " is damaged: set aside, the project goes on without one");
        hx::setFileAside(path, ".damaged");
        a.data = hx::StoryboardData{};
    }
    return a;
}

bool store(const hx::StoryboardData& data)
{
    const std::string directory = hx::projectDirectory();
    if (hx::shouldFail("storeStoryboard") || directory.empty() || !hx::makeDirectories(directory))
        return false;
    // The storyboard's lengths are frames at the format it is built at, which the project keeps with it.
    return hx::writeFileAtomically(hxhost::storyboardPath(directory), hx::encodeStoryboard(data)) &&
           hxhost::keepVideoFormat();
}

// A scene put in between, or an undone step, may leave a transition longer than the host's rule
// allows: it is shortened, or dropped where it would lead nowhere.
void keepTransitionsWithinRule(std::vector<hxhost::StoryboardScene>& scenes)
{
    for (size_t i = 0; i < scenes.size(); ++i) {
        auto& transition = scenes[i].transition;
        const int32_t longest = hx::maxTransitionLength(scenes, i);
        if (transition && transition->length > longest) {
            if (longest < 1)
                transition.reset();
            else
                transition->length = longest;
        }
    }
}

bool keep(Active& a, hx::StoryboardData&& next)
{
    keepTransitionsWithinRule(next.scenes);
    if (!hx::layOut(next.scenes) || !store(next))
        return false;
    a.data = std::move(next);
    return true;
}

int32_t unfinishedIndex(const hx::StoryboardData& data)
{
    for (size_t i = 0; data.unfinishedFrom != 0 && i < data.scenes.size(); ++i)
        if (data.scenes[i].id == data.unfinishedFrom)
            return static_cast<int32_t>(i);
    return -1;
}

hxhost::Storyboard view(const hx::StoryboardData& data)
{
    hxhost::Storyboard out;
    out.scenes = data.scenes;
    out.length = hx::timelineLength(data.scenes);
    out.completedStart = data.completedStart;
    out.completedEnd = data.completedEnd;
    out.unfinishedFrom = unfinishedIndex(data);
    for (const hx::UndoRecord& step : data.history) {
        const size_t touched = step.removed ? step.removed->scenes.size() : step.entries.size();
        out.undoSteps.push_back({step.label, static_cast<uint32_t>(touched)});
    }
    return out;
}

// Asks once a build whether the unfinished scenes of an earlier one go; true when they went.
bool settleUnfinishedBuild(Active& a)
{
    const hx::StoryboardData& data = a.data;
    if (data.unfinishedFrom == 0 || data.unfinishedFrom == a.ownBuild)
        return false;
    const int32_t first = unfinishedIndex(data);
    const size_t count = first < 0 ? 0 : data.scenes.size() - static_cast<size_t>(first);
    if (count > 0 && unfinishedBuildQuestion && unfinishedBuildQuestion(static_cast<size_t>(first), count))
        return hx::removeScenesFrom(static_cast<size_t>(first), u"Unfinished scenes taken away");
    // Kept: they are the user's now, and this build marks its own scenes.
    hx::StoryboardData next = data;
    next.unfinishedFrom = 0;
    if (!keep(a, std::move(next)))
        hx::logFailure("cannot store the storyboard with the earlier build's scenes kept");
    return false;
}

} // namespace

namespace hx {

uint32_t highestItemInStoryboard(const std::string& projectDirectory)
{
    std::string bytes;
    StoryboardData data;
    if (!readWholeFile(hxhost::storyboardPath(projectDirectory), bytes, kMaxFileBytes) || !decodeStoryboard(bytes, data, nullptr))
        return 0;
    uint32_t highest = 0;
    for (const hxhost::StoryboardScene& scene : data.scenes)
        highest = std::max(highest, scene.clipItem);
    return highest;
}

const StoryboardData& activeStoryboard()
{
    return loaded().data;
}

bool changeStoryboard(const std::function<bool(StoryboardData&)>& change, const std::vector<uint32_t>& touched)
{
    Active& a = loaded();
    // A change leaves the history alone: the copy borrows it when it is stored rather than copying it.
    std::vector<UndoRecord> history = std::move(a.data.history);
    StoryboardData next = a.data;
    a.data.history = std::move(history);
    if (!change(next))
        return false;
    if (a.step.depth > 0) {
        for (uint32_t id : touched) {
            auto& entries = a.step.record.entries;
            const hxhost::StoryboardScene* before = findScene(a.data, id);
            const bool seen = std::any_of(entries.begin(), entries.end(), [id](const UndoEntry& e) { return e.sceneId == id; });
            if (before && !seen)
                entries.push_back({id, before->effect, before->transition});
        }
    }
    next.history = std::move(a.data.history);
    if (keep(a, std::move(next)))
        return true;
    a.data.history = std::move(next.history); // not kept: the history goes back where it was
    return false;
}

hxhost::StoryboardScene* findScene(StoryboardData& data, uint32_t sceneId)
{
    for (hxhost::StoryboardScene& scene : data.scenes)
        if (scene.id == sceneId)
            return &scene;
    return nullptr;
}

const hxhost::StoryboardScene* findScene(const StoryboardData& data, uint32_t sceneId)
{
    return findScene(const_cast<StoryboardData&>(data), sceneId);
}

std::optional<Placement> findPlacement(const StoryboardData& data, uint32_t handle)
{
    if (handle == 0)
        return std::nullopt;
    for (const hxhost::StoryboardScene& scene : data.scenes) {
        if (scene.effect && scene.effect->handle == handle)
            return Placement{scene.id, false};
        if (scene.transition && scene.transition->handle == handle)
            return Placement{scene.id, true};
    }
    return std::nullopt;
}

bool removeScenesFrom(size_t first, const std::u16string& label)
{
    Active& a = loaded();
    if (first >= a.data.scenes.size())
        return true;
    StoryboardData next = a.data;
    RemovedScenes removed{next.scenes, next.completedStart, next.completedEnd, next.unfinishedFrom};
    next.scenes.erase(next.scenes.begin() + static_cast<std::ptrdiff_t>(first), next.scenes.end());
    next.completedStart = next.completedEnd = -1;
    next.unfinishedFrom = 0;
    next.history.push_back(UndoRecord{label, {}, std::move(removed)});
    if (next.history.size() > kMaxUndoSteps)
        next.history.erase(next.history.begin());
    return keep(a, std::move(next));
}

void setUnfinishedBuildQuestion(UnfinishedBuildQuestion ask)
{
    unfinishedBuildQuestion = ask;
}

uint32_t addBuildScene(const SBScene* after, uint32_t clipItem, int32_t length)
{
    Active& a = loaded();
    const bool tookAway = settleUnfinishedBuild(a);
    uint32_t afterId = after ? after->sceneId : 0;
    if (after && !findScene(a.data, afterId)) {
        if (!tookAway)
            return 0;
        afterId = a.data.scenes.empty() ? 0 : a.data.scenes.back().id;
    }
    uint32_t id = 0;
    const bool added = changeStoryboard([&](StoryboardData& data) {
        if (data.scenes.size() >= kMaxScenes)
            return false;
        hxhost::StoryboardScene scene;
        scene.id = id = data.nextSceneId++;
        scene.clipItem = clipItem;
        scene.length = length;
        // `afterId`, when not 0, names a scene: checked above.
        const auto previous = std::find_if(data.scenes.begin(), data.scenes.end(),
                                        [afterId](const hxhost::StoryboardScene& s) { return s.id == afterId; });
        data.scenes.insert(afterId == 0 ? data.scenes.begin() : std::next(previous), std::move(scene));
        if (data.unfinishedFrom == 0)
            data.unfinishedFrom = id;
        return true;
    });
    if (!added)
        return 0;
    a.ownBuild = a.data.unfinishedFrom;
    if (afterId == 0)
        placedFirstScene(clipItem);
    return id;
}

void beginUndoStep(const std::u16string& label)
{
    OpenStep& step = loaded().step;
    if (step.depth++ == 0)
        step.record = UndoRecord{label, {}, std::nullopt};
}

void endUndoStep()
{
    Active& a = loaded();
    if (a.step.depth == 0) {
        hx::logFailure("an undo step ends that never started");
        return;
    }
    if (--a.step.depth > 0)
        return;
    UndoRecord record = std::move(a.step.record);
    a.step.record = UndoRecord{};
    if (record.entries.empty())
        return; // nothing changed: no step to undo
    StoryboardData next = a.data;
    next.history.push_back(std::move(record));
    if (next.history.size() > kMaxUndoSteps)
        next.history.erase(next.history.begin());
    if (!keep(a, std::move(next)))
        hx::logFailure("cannot store the undo step: the change stays, without its undo");
}

void resetStoryboard()
{
    active() = Active{};
}

} // namespace hx

namespace hxhost {

std::string storyboardPath(const std::string& projectDirectory)
{
    return projectDirectory + "/storyboard.sbd";
}

Storyboard storyboard()
{
    return view(hx::activeStoryboard());
}

bool readStoryboardFile(const std::string& projectDirectory, Storyboard& out, std::string* error)
{
    std::string bytes;
    hx::StoryboardData data;
    const std::string path = storyboardPath(projectDirectory);
    if (!hx::readWholeFile(path, bytes, kMaxFileBytes)) {
        out = Storyboard{};
        return true;
    }
    if (!hx::decodeStoryboard(bytes, data, error))
        return false;
    out = view(data);
    return true;
}

bool undoLastStep(std::u16string* label, std::string* error)
{
    Active& a = loaded();
    if (a.data.history.empty()) {
        if (error)
            *error = "nothing to undo";
        return false;
    }
    hx::StoryboardData next = a.data;
    hx::UndoRecord step = std::move(next.history.back());
    next.history.pop_back();
    if (step.removed) {
        // What was added since the scenes were taken away goes with the step.
        next.scenes = std::move(step.removed->scenes);
        next.completedStart = step.removed->completedStart;
        next.completedEnd = step.removed->completedEnd;
        next.unfinishedFrom = step.removed->unfinishedFrom;
    }
    // Scenes removed since the step was taken have nothing to put back.
    for (const hx::UndoEntry& entry : step.entries)
        if (StoryboardScene* scene = hx::findScene(next, entry.sceneId)) {
            scene->effect = entry.effect;
            scene->transition = entry.transition;
        }
    if (!keep(a, std::move(next))) {
        if (error)
            *error = "cannot store the storyboard";
        return false;
    }
    if (label)
        *label = step.label;
    return true;
}

} // namespace hxhost
