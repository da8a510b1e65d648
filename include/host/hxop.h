/* Operators: the description an operator plug-in exports, the action record the host drives it
   with, and the services an operator calls while it runs. */
#ifndef HX_HXOP_H
#define HX_HXOP_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

/* Description tags: 0x4F504500 + n, stored as the bytes n, 'E', 'P', 'O'. */
#define OPE_TAG(n) (0x4F504500u + (n))
enum {
    OPE_END = 0,
    OPE_KIND = 0x4F504500u,         /* OPE0 */
    OPE_CLASS = 0x4F504501u,        /* OPE1 */
    OPE_ACTION = 0x4F504503u,       /* OPE3: the OperatorAction entry */
    OPE_RECORD = 0x4F504504u,       /* OPE4: the operator record */
    OPE_TYPE = 0x4F50450Du,         /* OPE13 */
    OPE_INTERACTIVE = 0x4F50450Eu,  /* OPE14 */
    OPE_IDENT = 0x4F504510u,        /* OPE16: the identification string */
    OPE_INSTANCE_SIZE = 0x4F504513u /* OPE19: bytes of per-instance state */
};

/* One (tag, value) pair; a value is a number or an address in the plug-in's image. */
typedef struct OperatorTag {
    uintptr_t tag;
    uintptr_t value;
} OperatorTag;

HX_ASSERT_LAYOUT32(sizeof(OperatorTag) == 8);

/* Action codes. */
enum {
    OP_ACTION_INIT = 1,
    OP_ACTION_RELEASE = 2,
    OP_ACTION_RENDER = 3,
    OP_ACTION_RUN = 4
};

/* Flags byte of the action record. */
enum {
    OP_FLAG_VIDEO_INPUT = 0x01,  /* the input is video fields whatever its size */
    OP_FLAG_ODD_FIELD = 0x02,    /* hand back the parity-1 field */
    OP_FLAG_RENDER_ONLY = 0x10   /* the slideshow tool renders clips only */
};

/* The record the host passes OperatorAction. */
typedef struct OperatorActionRecord {
    uint16_t action;
    uint16_t reserved0;
    uint8_t flags;
    uint8_t reserved1[3];
    uint32_t length;   /* L: length of the effect */
    uint32_t position; /* P: the field to render, 0..L */
    uint32_t reserved2[16];
    void* instance;    /* the instance's private state */
} OperatorActionRecord;

HX_ASSERT_LAYOUT32(offsetof(OperatorActionRecord, flags) == 4);
HX_ASSERT_LAYOUT32(offsetof(OperatorActionRecord, length) == 8);
HX_ASSERT_LAYOUT32(offsetof(OperatorActionRecord, position) == 12);
HX_ASSERT_LAYOUT32(offsetof(OperatorActionRecord, instance) == 80);

typedef const OperatorTag* (*GetOperatorInfoFn)(void);
typedef int32_t (*OperatorActionFn)(OperatorActionRecord* record);

/* A loaded operator (mainLoadOperator). */
typedef struct HxOperator HxOperator;

/* The pan operator's preference block as this host applies it: the block carries the pan mode,
   which the host writes into the mode word of the operator record: byte 12 on the 32-bit target,
   after the record's value-list address in the natural alignment of a wider build. */
typedef struct PanPrefs {
    uint32_t panMode;
} PanPrefs;
#define PAN_PREFS_OFFSET (8 + sizeof(void*))

HXAPI uint32_t opGetPrefsSize(HxOperator* op);
HXAPI int32_t opGetPrefs(HxOperator* op, void* buffer, uint32_t size);
HXAPI int32_t opSetPrefs(HxOperator* op, const void* buffer, uint32_t size);
HXAPI void opSetUniqueID(HxOperator* op, uint32_t id);

/* Called by a running operator: an input picture (owned by the caller) or null; flag 0x10000 asks
   for the full-size picture of a photo scene. */
#define OP_FIELD_FULL_PICTURE 0x10000u
HXAPI OpImage* opGetField(uint32_t flags, uint32_t index);
/* Hands the finished field to the host, which owns it from then on; the result is the render's. */
HXAPI int32_t opPutField(OpImage* field);

HX_END_DECLS

#endif
