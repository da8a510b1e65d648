// The active project's storyboard: loaded from "storyboard.sbd" beside the scene bin, stored after
// every change, and its undo history, whose steps are the plug-ins' undo sequences.
#include "scenes/storyboard.h"

#include "runtime/atomic_file.h"
#include "hxhost/video_format.h"
#include "runtime/host_state.h"
#include "scenes/scene_bin.h"

#include "host/hxlog.h"

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
};

Active& active()
{
    static Active storyboard;
    return storyboard;
}

void logFailure(int line)
{
    loggerMessage(HXLOG_FAILURE, line, "host\\scenes", 0, " ");
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
        logFailure(__LINE__);
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

hxhost::Storyboard view(const hx::StoryboardData& data)
{
    hxhost::Storyboard out;
    out.scenes = data.scenes;
    out.length = hx::timelineLength(data.scenes);
    out.completedStart = data.completedStart;
    out.completedEnd = data.completedEnd;
    for (const hx::UndoRecord& step : data.history)
        out.undoSteps.push_back({step.label, static_cast<uint32_t>(step.entries.size())});
    return out;
}

} // namespace

namespace hx {

const StoryboardData& activeStoryboard()
{
    return loaded().data;
}

bool changeStoryboard(const std::function<bool(StoryboardData&)>& change, const std::vector<uint32_t>& touched)
{
    Active& a = loaded();
    StoryboardData next = a.data;
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
    return keep(a, std::move(next));
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

void beginUndoStep(const std::u16string& label)
{
    OpenStep& step = loaded().step;
    if (step.depth++ == 0)
        step.record = UndoRecord{label, {}};
}

void endUndoStep()
{
    Active& a = loaded();
    if (a.step.depth == 0) {
        logFailure(__LINE__); // an end without a start: nothing to close
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
        logFailure(__LINE__); // the change stays, only its undo step is lost
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
