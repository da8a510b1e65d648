/* Scene list, storyboard and project storage. */
#ifndef HX_HXSCENES_H
#define HX_HXSCENES_H

#include "hxapi.h"
#include "hxlist.h"
#include "hxop.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

/* A clip or still of the project's scene bin; 0 is no record. */
typedef uint32_t AVRecord;

/* One photo of the slideshow tool's photo list, shared with the project services and the
   rendering calls. Blocks of the C heap (malloc / free) on both sides. */
typedef struct PhotoEntry {
    ListNode link;
    uint32_t id;          /* unique within the list */
    AVRecord source;      /* the entry's own copy of the photo's record */
    AVRecord clip;        /* the rendered clip, 0 while none */
    int16_t rotation;     /* clockwise degrees: 0, 90, 180, 270 */
    uint16_t reserved;
    int32_t mirrored;     /* 1 = mirrored left to right */
    uint16_t cropX;
    uint16_t cropY;
    uint16_t cropWidth;
    uint16_t cropHeight;
    int32_t brightness;   /* 0..200, 100 = unchanged */
    int32_t contrast;     /* 0..200, 100 = unchanged */
    int32_t saturation;   /* 0..200, 100 = unchanged */
    int32_t gamma;        /* -100..100, 0 = unchanged */
    int32_t included;     /* 1 = used in the storyboard */
    OpImage* thumbnail;   /* cached thumbnail, null until drawn */
    int32_t duration;     /* frames */
} PhotoEntry;

HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, id) == 12);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, source) == 16);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, clip) == 20);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, rotation) == 24);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, mirrored) == 28);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, cropX) == 32);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, cropY) == 34);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, cropWidth) == 36);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, cropHeight) == 38);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, brightness) == 40);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, contrast) == 44);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, saturation) == 48);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, gamma) == 52);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, included) == 56);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, thumbnail) == 60);
HX_ASSERT_LAYOUT32(offsetof(PhotoEntry, duration) == 64);
HX_ASSERT_LAYOUT32(sizeof(PhotoEntry) == 68);

/* A storyboard scene handle (nslSBAllocScene / nslSBFreeScene). */
typedef struct SBScene SBScene;

/* Words of the record nslSBGetSceneInfo fills. */
enum {
    SB_INFO_WORDS = 9,
    SB_INFO_TRANSITION = 3, /* handle of the transition leaving the scene, 0 = none */
    SB_INFO_LONGTERM = 5    /* handle of the scene's long-term effect, 0 = none */
};

/* Flags of nslFreeStillsetProject. */
enum {
    NSL_FREE_KEEP_STORED = 0, /* release the entries; the stored list stays */
    NSL_FREE_DISCARD = 1      /* release the entries and discard the stored list and its stamps */
};

HXAPI int32_t nslVersion(int32_t which); /* 0: major, 1: minor */

/* Project photo list of the slideshow tool, stored in `directory`. Entries are malloc blocks. -1 when the
   stored list is damaged: it is set aside and `list` receives the whole entries before the damage. */
HXAPI int32_t nslReadStillsetProject(const char* directory, ListHead* list);
/* Stores the list, replacing the stored one atomically; flag 1 also stores the thumbnails as stamps. */
HXAPI int32_t nslWriteStillsetProject(const char* directory, ListHead* list, int32_t flags);
/* Frees every entry with its records and thumbnail; the list is empty afterwards. */
HXAPI int32_t nslFreeStillsetProject(const char* directory, ListHead* list, int32_t flags);
/* Deletes the stored thumbnail of an entry. */
HXAPI int32_t nslDeleteStillsetStamp(const char* directory, const PhotoEntry* entry);
/* The stored still of a record as a new format-1 image (owned, pixel aspect 1000), or null when it
   has none (clips) or cannot be read. Each call gives a new image; recently used stills stay decoded. */
HXAPI OpImage* nslGetStillset(AVRecord record);
/* Renders the entry into a clip of `duration` frames and stores its record in entry->clip; 0 or -1. */
HXAPI int32_t nslRenderStillsetElement(PhotoEntry* entry, int32_t duration);
/* The slideshow tool's rendering exports, through which the host makes a clip's pictures, as the
   host calls them (exports "stillsetDoPhoto" and "stillsetGetFinalField"). The first consumes its
   picture and returns the corrected one (null for a null picture); the second returns a new field
   the caller frees, or null. */
typedef OpImage* (*StillsetDoPhotoFn)(const PhotoEntry* photo, OpImage* picture);
typedef OpImage* (*StillsetGetFinalFieldFn)(const PhotoEntry* photo, int32_t selector);

/* AV records. A copy is an independent record of the same scene bin item; owned: nslDeleteAVRecord. */
HXAPI AVRecord nslCopyAVRecord(AVRecord record, uint32_t flags);
HXAPI void nslDeleteAVRecord(AVRecord record);
/* Borrowed until the name changes or the record is deleted; null for no record. */
HXAPI const hxchar* nslGetAVRecordName(AVRecord record);
HXAPI int32_t nslSetAVRecordName(AVRecord record, const hxchar* name);
/* 0 or -1 for a photo; any other value for other kinds of scene. This host answers 0 for a still,
   -1 for a clip with a reference frame (a picture grabbed from video) and 1 for other clips and for
   no record; *info, when given, receives the bin item's identifier. */
HXAPI int32_t nslAVRecordGetPhoto(AVRecord record, uint32_t* info);
/* The frame number of the record's picture within its clip, -1 when none (stills). Asking for a
   clip's reference frame makes that clip the video cmGetField reads. */
HXAPI int32_t nslAVRecordGetReferenceFrame(AVRecord record);

/* The scene bin, walked in order; the records are borrowed. */
HXAPI int32_t nslGetSceneListCount(void);
HXAPI AVRecord nslGetFirstScene(void);
HXAPI AVRecord nslGetNextScene(AVRecord scene);

/* Storyboard. Results 0 = done, -1 = failed or none. */
HXAPI SBScene* nslSBAllocScene(void);
HXAPI void nslSBFreeScene(SBScene* scene);
HXAPI void nslSBSceneCopy(SBScene* target, const SBScene* source);
/* Adds `clip` after `after` (null: at the start) and fills `added`. */
HXAPI int32_t nslSBAddScene(const SBScene* after, AVRecord clip, SBScene* added);
HXAPI int32_t nslSBGetLastScene(SBScene* scene);
HXAPI int32_t nslSBGetNextScene(const SBScene* scene, SBScene* next);
HXAPI int32_t nslSBGetSceneInfo(const SBScene* scene, uint32_t info[SB_INFO_WORDS]);
HXAPI int32_t nslSBGetSceneLength(const SBScene* scene);
HXAPI int32_t nslSBGetLength(int32_t flags);
HXAPI int32_t nslSBSceneGetAbsolutePos(const SBScene* scene);
HXAPI int32_t nslSBSceneGetMaxTransitionLength(const SBScene* scene);
HXAPI int32_t nslSBCompleteRange(int32_t start, int32_t end);
HXAPI int32_t nslSBAddTransition22(const SBScene* scene, const char* name, int32_t length, int32_t flag,
                                   int32_t* result);
HXAPI int32_t nslSBTransitionLoad(uint32_t transition);
HXAPI int32_t nslSBTransitionUnload(uint32_t transition);
HXAPI HxOperator* nslSBTransitionGetOperator(uint32_t transition);
HXAPI int32_t nslSBTransitionUpdatePrefs(uint32_t transition);
HXAPI int32_t nslSBTransitionAddJingle(uint32_t transition, const char* file, const hxchar* name,
                                       uint32_t flags);
HXAPI int32_t nslSBCalcTransitionAudio(uint32_t transition);
HXAPI int32_t nslSBAddLongterm(const SBScene* scene, const char* name, int32_t length, int32_t a,
                               int32_t b, int32_t c);
HXAPI int32_t nslSBLongFXLoad(uint32_t effect);
HXAPI int32_t nslSBLongFXUnload(uint32_t effect);
HXAPI HxOperator* nslSBLongFXGetOperator(uint32_t effect);
HXAPI int32_t nslSBLongFXUpdatePrefs(uint32_t effect);

/* Undo grouping: the calls between start and end form one undo step labelled `label`. */
HXAPI void nslProjectUndoExtSeqStart(const hxchar* label);
HXAPI void nslProjectUndoExtSeqEnd(void);

HX_END_DECLS

#endif
