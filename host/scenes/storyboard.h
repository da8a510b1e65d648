// The host project's storyboard: the model the storyboard services change, its stored bytes, and
// the read API the host's own parts use (hxhost/storyboard.h: scenes in order with positions and
// lengths, clips, effects, transitions with their blocks and jingles, and the photo clips' pictures).
#ifndef HX_STORYBOARD_H
#define HX_STORYBOARD_H

#include "hxhost/storyboard.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A scene handle names a scene by its identity, so it stays valid while scenes are added around it.
struct SBScene {
    uint32_t sceneId = 0;
};

namespace hx {

// What a scene looked like before the first change of an undo step touched it.
struct UndoEntry {
    uint32_t sceneId = 0;
    std::optional<hxhost::PlacedOperator> effect;
    std::optional<hxhost::PlacedTransition> transition;
};

// The scenes a step took away (a clear), with the marks that went with them.
struct RemovedScenes {
    std::vector<hxhost::StoryboardScene> scenes;
    int32_t completedStart = -1;
    int32_t completedEnd = -1;
    uint32_t unfinishedFrom = 0;
};

struct UndoRecord {
    std::u16string label;
    std::vector<UndoEntry> entries;
    std::optional<RemovedScenes> removed; // undoing the step puts the storyboard back as it was
};

struct StoryboardData {
    std::vector<hxhost::StoryboardScene> scenes;
    int32_t completedStart = -1;
    int32_t completedEnd = -1;
    // The first scene a build added after the last completed range; 0 when the last build completed.
    uint32_t unfinishedFrom = 0;
    uint32_t nextSceneId = 1;
    uint32_t nextHandle = 1; // effects and transitions share one handle space
    std::vector<UndoRecord> history;
};

// Bounds of the stored storyboard; a file beyond them is damaged.
inline constexpr uint32_t kMaxScenes = 100000;
inline constexpr uint32_t kMaxUndoSteps = 1000;
inline constexpr uint32_t kMaxStoredText = 4096;
inline constexpr uint32_t kMaxPrefsBlock = 1u << 20;

std::string encodeStoryboard(const StoryboardData& data);
// The checksum (FNV-1a) that closes a stored storyboard, over its first `end` bytes.
uint32_t storyboardChecksum(const std::string& bytes, size_t end);
// False with the reason when the bytes are no storyboard of ours or break a bound.
bool decodeStoryboard(const std::string& bytes, StoryboardData& out, std::string* error);

// Positions and the timeline's length: each scene starts where the previous one ends, less the
// transition between them. False when the timeline would not fit 32-bit frame numbers.
bool layOut(std::vector<hxhost::StoryboardScene>& scenes);
// The host's rule: a transition takes at most half of the shorter of the two scenes it joins, so
// the two transitions of one scene never overlap; 0 for the last scene, which leads nowhere.
int32_t maxTransitionLength(const std::vector<hxhost::StoryboardScene>& scenes, size_t index);
int32_t timelineLength(const std::vector<hxhost::StoryboardScene>& scenes);

// The active project's storyboard, loaded on first use after the project changed. A damaged file is
// set aside ("storyboard.sbd.damaged") and the project opens with an empty storyboard.
const StoryboardData& activeStoryboard();
// Applies `change` to a copy and keeps the copy once it is stored; false, with nothing changed, when
// `change` refuses or the file cannot be written. Inside an undo sequence, `touched` names the scenes
// whose effect or transition the change alters, so that the step can put them back.
bool changeStoryboard(const std::function<bool(StoryboardData&)>& change, const std::vector<uint32_t>& touched = {});
hxhost::StoryboardScene* findScene(StoryboardData& data, uint32_t sceneId);
const hxhost::StoryboardScene* findScene(const StoryboardData& data, uint32_t sceneId);
// The scene whose effect or transition has this handle, and which of the two it is.
struct Placement {
    uint32_t sceneId = 0;
    bool transition = false;
};
std::optional<Placement> findPlacement(const StoryboardData& data, uint32_t handle);

// Takes the scenes from index `first` on away as one undo step that brings them back; false, with
// nothing changed, when the storyboard cannot be stored.
bool removeScenesFrom(size_t first, const std::u16string& label);
// Asked at the first scene a build adds while an earlier build left scenes unfinished (their index
// and count); true takes them away first, as one undo step.
using UnfinishedBuildQuestion = bool (*)(size_t first, size_t count);
void setUnfinishedBuildQuestion(UnfinishedBuildQuestion ask);
// Adds a scene after `after` (null: at the start) for a build, which stays unfinished until a range
// is completed; its id, 0 when refused. A scene taken away on the user's word just now stands for
// the last scene left.
uint32_t addBuildScene(const SBScene* after, uint32_t clipItem, int32_t length);

// Undo grouping of the active project.
void beginUndoStep(const std::u16string& label);
void endUndoStep();
void resetStoryboard();

} // namespace hx

#endif
