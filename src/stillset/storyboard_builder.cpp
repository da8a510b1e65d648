#include "storyboard_builder.h"

#include "log.h"
#include "operator_list_node.h"
#include "order_sequence.h"
#include "session.h"
#include "string_ids.h"
#include "time_units.h"


#include "host/hxgui.h"
#include "host/hxmain.h"
#include "host/hxreq.h"
#include "host/hxscenes.h"
#include "host/hxtext.h"
#include "host/hxtools.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kClipNameKept = 26;
constexpr hxchar kClipSuffix[] = {u' ', u'S', u'L', 0};
constexpr int32_t kTransitionFlagBit = 4;

struct Labels {
    const hxchar* transition;
    const hxchar* effect;
};

PhotoEntry* firstPhoto()
{
    return static_cast<PhotoEntry*>(ListFirst(&session.photoList));
}

PhotoEntry* nextPhoto(PhotoEntry* photo)
{
    return static_cast<PhotoEntry*>(ListNext(photo));
}

OperatorEntry* entryAt(ListHead* list, int32_t position)
{
    return position == -1 ? nullptr : static_cast<OperatorEntry*>(ListNodeAt(list, position));
}

// The clip keeps the first 26 characters of its name, followed by " SL".
void nameClip(AVRecord clip)
{
    hxchar name[kClipNameKept + 4];
    int32_t n = 0;
    const hxchar* current = nslGetAVRecordName(clip);
    while (current && current[n] && n < kClipNameKept) {
        name[n] = current[n];
        ++n;
    }
    name[n] = 0;
    xcscat(name, kClipSuffix);
    nslSetAVRecordName(clip, name);
}

enum class Rendered { All, Stopped, MeterFailed };

// Has the host render every included photo without a clip, under a meter the user may stop.
Rendered renderMissingClips()
{
    int32_t missing = 0;
    for (PhotoEntry* photo = firstPhoto(); photo; photo = nextPhoto(photo))
        missing += photo->included == 1 && photo->clip == 0;
    if (missing == 0)
        return Rendered::All;
    UReqMeter meter;
    std::memset(&meter, 0, sizeof meter);
    meter.title = resGetString(session.stringCatalogue, kStrRenderingPhotos);
    meter.titleWidth = static_cast<uint16_t>((ugTextLength(meter.title) + 1) & ~1);
    meter.steps = static_cast<uint32_t>(ListCount(&session.photoList));
    meter.style = 4;
    if (ureqOpenMeter(&meter) != 0) {
        STILLSET_LOG(HXLOG_FAILURE);
        return Rendered::MeterFailed;
    }
    int32_t visited = 0;
    for (PhotoEntry* photo = firstPhoto(); photo; photo = nextPhoto(photo)) {
        if (photo->included == 1 && photo->clip == 0) {
            if (nslRenderStillsetElement(photo, photo->duration) == -1) {
                ureqCloseMeter(&meter);
                return Rendered::Stopped;
            }
            nameClip(photo->clip);
        }
        if (ureqUpdateMeter(&meter, 3, ++visited) == 0) {
            ureqCloseMeter(&meter);
            return Rendered::Stopped;
        }
    }
    ureqCloseMeter(&meter);
    return Rendered::All;
}

// Appends the included photos' clips as scenes; false when no scene was added.
bool addScenes(SBScene* first, SBScene* last, SBScene* added)
{
    const bool empty = nslSBGetLastScene(last) == -1;
    bool any = false;
    for (PhotoEntry* photo = firstPhoto(); photo; photo = nextPhoto(photo)) {
        if (photo->included != 1)
            continue;
        const SBScene* after = !any && empty ? nullptr : last;
        if (nslSBAddScene(after, photo->clip, added) == 0 && !any) {
            nslSBSceneCopy(first, added);
            any = true;
        }
        nslSBGetLastScene(last);
    }
    return any;
}

// The host's services for one kind of placed operator.
struct PlacedServices {
    int32_t (*load)(uint32_t);
    HxOperator* (*getOperator)(uint32_t);
    int32_t (*updatePrefs)(uint32_t);
    int32_t (*calcAudio)(uint32_t); // transitions only
    int32_t (*unload)(uint32_t);
};

const PlacedServices kEffectServices = {&nslSBLongFXLoad, &nslSBLongFXGetOperator, &nslSBLongFXUpdatePrefs, nullptr,
                                        &nslSBLongFXUnload};
const PlacedServices kTransitionServices = {&nslSBTransitionLoad, &nslSBTransitionGetOperator,
                                            &nslSBTransitionUpdatePrefs, &nslSBCalcTransitionAudio,
                                            &nslSBTransitionUnload};

// The placed operator takes the entry's block and a fresh identity, and the host stores both.
void configurePlaced(uint32_t handle, const OperatorEntry& entry, const PlacedServices& host)
{
    host.load(handle);
    HxOperator* op = host.getOperator(handle);
    if (entry.prefs)
        opSetPrefs(op, entry.prefs, entry.prefsSize);
    opSetUniqueID(op, vxtlGetUniqueID());
    host.updatePrefs(handle);
    if (host.calcAudio)
        host.calcAudio(handle);
    host.unload(handle);
}

void placeEffect(SBScene* scene, const OperatorEntry& entry, const hxchar* label)
{
    const int32_t length = nslSBGetSceneLength(scene);
    if (length <= 0)
        return;
    nslProjectUndoExtSeqStart(label);
    uint32_t info[SB_INFO_WORDS];
    if (nslSBAddLongterm(scene, entry.name, length, 0, 1, 0) == 0 && nslSBGetSceneInfo(scene, info) == 0 &&
        info[SB_INFO_LONGTERM] != 0)
        configurePlaced(info[SB_INFO_LONGTERM], entry, kEffectServices);
    nslProjectUndoExtSeqEnd();
}

// One effect on every new scene, the last included, each in its own undo step.
void placeEffects(const SBScene* first, const hxchar* label)
{
    buildSequence(&session.effectList, session.settings.effectOrder);
    SequenceWalk walk = startWalk(session.effectSequence, repeatCount(session.settings.effectRepeatCode));
    SBScene* walking = nslSBAllocScene();
    SBScene* next = nslSBAllocScene();
    uint32_t info[SB_INFO_WORDS];
    if (walking && next) {
        nslSBSceneCopy(walking, first);
        bool atEnd = nslSBGetNextScene(walking, next) == -1;
        OperatorEntry* entry = entryAt(&session.effectList, walk.position);
        bool going = entry && nslSBGetSceneInfo(walking, info) != -1;
        while (going) {
            placeEffect(walking, *entry, label);
            advanceWalk(walk);
            entry = entryAt(&session.effectList, walk.position);
            if (atEnd || !entry)
                break;
            nslSBSceneCopy(walking, next);
            atEnd = nslSBGetNextScene(walking, next) == -1;
            going = nslSBGetSceneInfo(walking, info) != -1;
        }
    }
    nslSBFreeScene(walking);
    nslSBFreeScene(next);
    std::free(session.effectSequence);
    session.effectSequence = nullptr;
}

void placeTransition(SBScene* scene, const OperatorEntry& entry, int32_t repeat, const hxchar* label)
{
    nslProjectUndoExtSeqStart(label);
    const int32_t flag = (mainGetOperatorFlags(entry.name, 0) & kTransitionFlagBit) ? 1 : 0;
    int32_t length = transitionFrames(session.settings.transitionLengthCode);
    const int32_t longest = nslSBSceneGetMaxTransitionLength(scene);
    if (length > longest)
        length = longest;
    // A transition that serves one scene only may take half of what the host allows.
    if (repeat == 1 && length == longest)
        length /= 2;
    int32_t result = 0;
    uint32_t info[SB_INFO_WORDS];
    if (nslSBAddTransition22(scene, entry.name, length, flag, &result) == 0 && nslSBGetSceneInfo(scene, info) == 0 &&
        info[SB_INFO_TRANSITION] != 0)
        configurePlaced(info[SB_INFO_TRANSITION], entry, kTransitionServices);
    nslProjectUndoExtSeqEnd();
}

// The jingle goes on every transition from the first new scene to the last.
void addJingles(const SBScene* first, SBScene* walking, SBScene* next)
{
    const Settings& s = session.settings;
    if (!s.jingleFile || !s.jingleName)
        return;
    nslSBSceneCopy(walking, first);
    for (;;) {
        uint32_t info[SB_INFO_WORDS];
        if (nslSBGetSceneInfo(walking, info) == 0 && info[SB_INFO_TRANSITION] != 0)
            nslSBTransitionAddJingle(info[SB_INFO_TRANSITION], s.jingleFile, s.jingleName, 0);
        if (nslSBGetNextScene(walking, next) == -1)
            break;
        nslSBSceneCopy(walking, next);
    }
}

// A transition from every new scene but the last to its successor, each in its own undo step.
void placeTransitions(const SBScene* first, const hxchar* label)
{
    buildSequence(&session.transitionList, session.settings.transitionOrder);
    const int32_t repeat = repeatCount(session.settings.transitionRepeatCode);
    SequenceWalk walk = startWalk(session.transitionSequence, repeat);
    SBScene* walking = nslSBAllocScene();
    SBScene* next = nslSBAllocScene();
    if (walking && next) {
        nslSBSceneCopy(walking, first);
        OperatorEntry* entry = entryAt(&session.transitionList, walk.position);
        bool going = entry && nslSBGetNextScene(walking, next) != -1;
        while (going) {
            placeTransition(walking, *entry, repeat, label);
            advanceWalk(walk);
            entry = entryAt(&session.transitionList, walk.position);
            nslSBSceneCopy(walking, next);
            going = entry && nslSBGetNextScene(walking, next) != -1;
        }
        addJingles(first, walking, next);
    }
    nslSBFreeScene(walking);
    nslSBFreeScene(next);
    std::free(session.transitionSequence);
    session.transitionSequence = nullptr;
}

} // namespace

BuildOutcome buildStoryboard(int32_t replace, const OperatorActionRecord* record)
{
    const Labels labels{resGetString(session.stringCatalogue, kStrUndoAddTransition),
                        resGetString(session.stringCatalogue, kStrUndoAddEffect)};
    const bool renderOnly = record && (record->flags & OP_FLAG_RENDER_ONLY) != 0;
    switch (renderMissingClips()) {
    case Rendered::MeterFailed:
        nslProjectUndoExtSeqEnd();
        return BuildOutcome::MeterFailed;
    case Rendered::Stopped:
        return BuildOutcome::Stopped;
    case Rendered::All:
        break;
    }
    if (renderOnly)
        return BuildOutcome::RenderedOnly;
    // Cleared only now, so that a stopped or failed render leaves the old storyboard as it was.
    if (replace == 1)
        mainClearStoryboard(0);

    SBScene* first = nslSBAllocScene();
    SBScene* last = nslSBAllocScene();
    SBScene* added = nslSBAllocScene();
    const bool placed = first && last && added && addScenes(first, last, added);
    // With no scene added there is nothing to walk: stop here.
    if (placed) {
        if (session.settings.effectsEnabled == 1)
            placeEffects(first, labels.effect);
        if (session.settings.transitionsEnabled == 1)
            placeTransitions(first, labels.transition);
    }
    nslSBFreeScene(last);
    nslSBFreeScene(added);
    if (placed) {
        const int32_t start = nslSBSceneGetAbsolutePos(first);
        nslSBCompleteRange(start, nslSBGetLength(0) - 1);
    }
    nslSBFreeScene(first);
    return BuildOutcome::Built;
}
