// The storyboard of a host project as the host program, playback and the tests read it, the
// project's undo history, and the photo clips rendered from the slideshow tool's photo entries.
#ifndef HXHOST_STORYBOARD_H
#define HXHOST_STORYBOARD_H

#include "hxhost/api.h"

#include "host/hxscenes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hxhost {

// An operator placed on a scene: a long-term effect over it or the transition leaving it.
struct PlacedOperator {
    uint32_t handle = 0;          // the handle the storyboard services answer with; never 0
    std::string operatorName;     // its operator file: "longterm/stillsetpan.opw", "transition/<name>"
    int32_t length = 0;           // frames
    std::vector<uint8_t> prefs;   // the stored preference block; empty: the operator's defaults
    uint32_t uniqueId = 0;        // set with opSetUniqueID, 0 while none
};

struct PlacedTransition : PlacedOperator {
    int32_t flag = 0;                   // the flag it was placed with (nslSBAddTransition22)
    std::string jingleFile;             // "media/..." in the project (an absolute path in older ones); empty: no jingle
    std::u16string jingleName;
    int64_t jingleMicroseconds = -1;    // measured by nslSBCalcTransitionAudio; -1 while unknown
};

struct StoryboardScene {
    uint32_t id = 0;            // unique within the project's storyboard
    uint32_t clipItem = 0;      // the scene bin item it plays
    int32_t length = 0;         // frames
    // First frame on the timeline. A transition overlaps the end of its scene with the start of
    // the next, so the next scene starts `transition->length` frames before this one ends.
    int32_t position = 0;
    std::optional<PlacedOperator> effect;
    std::optional<PlacedTransition> transition; // into the next scene
};

struct UndoStep {
    std::u16string label;
    uint32_t scenesTouched = 0;
};

struct Storyboard {
    std::vector<StoryboardScene> scenes; // in playing order
    int32_t length = 0;                  // frames on the timeline, what nslSBGetLength answers
    int32_t completedStart = -1;         // the range last completed with nslSBCompleteRange
    int32_t completedEnd = -1;
    // The first scene of a build that added scenes but never completed its range (stopped or killed
    // part-way: effects and transitions may be missing); -1 when the last build completed.
    int32_t unfinishedFrom = -1;
    std::vector<UndoStep> undoSteps;     // oldest first
};

// The storyboard of the active project (loaded from the project when the project changed).
HXHOST_API Storyboard storyboard();
// The storyboard stored in a project directory, without making it active; false with the reason
// when there is none or it is damaged (a missing file is an empty storyboard, true).
HXHOST_API bool readStoryboardFile(const std::string& projectDirectory, Storyboard& out,
                                   std::string* error = nullptr);
// Where the active project keeps its storyboard.
HXHOST_API std::string storyboardPath(const std::string& projectDirectory);
// Undoes the last step of the active project's history; false when there is none or it cannot be
// stored. `label` receives the step's label.
HXHOST_API bool undoLastStep(std::u16string* label = nullptr, std::string* error = nullptr);

// ---- Photo clips ----
// The slideshow tool's two rendering exports. The host program registers them from the plug-in it
// loaded; without a registration the host loads "libstillset.so" beside the host library on first use.
struct PhotoRenderer {
    StillsetDoPhotoFn doPhoto = nullptr;
    StillsetGetFinalFieldFn getFinalField = nullptr;
};
HXHOST_API void setPhotoRenderer(const PhotoRenderer& renderer);

// A photo clip of the scene bin: the photo's look as the entry had it when it was rendered.
struct PhotoClip {
    uint32_t sourceItem = 0;  // the still it shows
    uint32_t entryId = 0;     // the photo entry it was rendered from
    int32_t duration = 0;     // frames
};
// False when the item is no photo clip of the active project or its file cannot be read.
HXHOST_API bool photoClipOf(uint32_t clipItem, PhotoClip& out);
// Played plainly: field `selector` (0 or 1, as stillsetGetFinalField takes it) of the tool's finished
// frame. Owned by the caller (opFreeImage); null on failure.
HXHOST_API OpImage* photoClipField(uint32_t clipItem, int32_t selector);
// Under a long-term effect: the tool's corrected full picture of the stored still (what an effect's
// opGetField(0x10000, P) receives). Owned by the caller; null on failure.
HXHOST_API OpImage* photoClipPicture(uint32_t clipItem);
// Why a clip of the scene bin cannot play, for a person: the clip by name and file, its photo's file,
// and what is wrong with the first of them that is missing or broken; empty when none is.
HXHOST_API std::string photoClipFault(uint32_t clipItem);

} // namespace hxhost

#endif
