/* Services of the host's main program: project, operators, pickers. */
#ifndef HX_HXMAIN_H
#define HX_HXMAIN_H

#include "hxapi.h"
#include "hxop.h"
#include "hxscenes.h"

HX_BEGIN_DECLS

typedef struct MsgQueue MsgQueue;
typedef struct UgWindow UgWindow;
typedef struct OpGuiState OpGuiState;

/* Growable arrays the host fills; the caller frees `items` (and each string) with free. */
typedef struct HxIdVector {
    uint32_t* items;
    uint32_t count;
    uint32_t capacity;
} HxIdVector;

typedef struct HxStringVector {
    char** items;
    uint32_t count;
    uint32_t capacity;
} HxStringVector;

HXAPI int32_t mainGetActiveProjectNumber(void);

/* Operators are named by their operator file under the installation ("transition/<name>",
   "longterm/<file>"). Owned: unload with mainUnloadOperator. */
HXAPI HxOperator* mainLoadOperator(const char* name, int32_t flags);
HXAPI void mainUnloadOperator(HxOperator* op);
/* Display name of an operator file (borrowed, static), or null when there is no such operator. */
HXAPI const hxchar* mainGetOperatorName(const char* name, int32_t flags);
/* Flag word of an operator file. Bit 2 (4): the operator renders each field at its own instant. A
   transition with it is placed with flag 1 (nslSBAddTransition22), and the host then plays each of its
   fields at its own position, two positions a frame, so that moving edges stay smooth on interlaced
   video; placed with flag 0, both fields of a frame take the frame's position. Every transition of
   this host has it; the pan operator's file has 0. */
HXAPI uint32_t mainGetOperatorFlags(const char* name, int32_t flags);

/* An operator's own settings panel inside a window. */
HXAPI int32_t mainBuildOpGui(UgWindow* window, int32_t x, int32_t y, int32_t width, int32_t height,
                             HxOperator* op, OpGuiState** state);
/* Hands a message to the panel; 0 when it changed the operator's preferences. */
HXAPI int32_t mainDoOpGui(const void* message, OpGuiState* state, HxOperator* op, UgWindow* parent,
                          int32_t a, int32_t b, int32_t c, int32_t* result1, int32_t* result2);
HXAPI void mainRemoveOpGui(UgWindow* window, OpGuiState* state);

/* Pickers; the host fills the vector with the user's choice (empty when cancelled). */
HXAPI int32_t mainSelectOperatorRequesterMulti(HxStringVector* names, int32_t flags, const char* lastPath,
                                               int32_t mode);
HXAPI int32_t mainSelectSceneRequesterMulti(int32_t flags, HxIdVector* scenes, int32_t mode);
/* The record of a scene identifier in a project (borrowed), 0 when none. */
HXAPI AVRecord mainGetAVRecordFromId(uint32_t id, int32_t project, int32_t flags);
HXAPI int32_t mainClearStoryboard(int32_t flags);

HX_END_DECLS

#endif
