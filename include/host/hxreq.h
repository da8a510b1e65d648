/* Requester library: windows, notices and questions, the crop requester and progress meters. */
#ifndef HX_HXREQ_H
#define HX_HXREQ_H

#include "hxapi.h"
#include "hxmsgq.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

typedef struct UgWindow UgWindow;

/* Window flags. */
enum {
    UREQ_MAIN_WINDOW = 65,
    UREQ_REQUESTER = 0x10001E,
    UREQ_EDITOR_REQUESTER = 0x10000E
};

/* One window: cleared by the caller, filled in, then opened with ureqCreateRequest. */
typedef struct UReqRequest {
    UgWindow* window;         /* written by ureqCreateRequest */
    uint32_t reserved1;
    uint32_t size;            /* width in the low 16 bits, height in the high 16 bits */
    MsgQueue* queue;          /* where the window's events are posted */
    uint32_t flags;
    const hxchar* title;
    const hxchar* secondText; /* photo editor requester only */
    uint32_t reserved7[5];
    uint32_t okGadget;        /* written by the host */
    uint32_t cancelGadget;    /* written by the host */
    uint32_t reserved14;
} UReqRequest;

HX_ASSERT_LAYOUT32(offsetof(UReqRequest, size) == 8);
HX_ASSERT_LAYOUT32(offsetof(UReqRequest, queue) == 12);
HX_ASSERT_LAYOUT32(offsetof(UReqRequest, title) == 20);
HX_ASSERT_LAYOUT32(offsetof(UReqRequest, secondText) == 24);
HX_ASSERT_LAYOUT32(offsetof(UReqRequest, okGadget) == 48);
HX_ASSERT_LAYOUT32(offsetof(UReqRequest, cancelGadget) == 52);
HX_ASSERT_LAYOUT32(sizeof(UReqRequest) == 60);

/* Styles of a text request. */
enum {
    UREQ_NOTICE = 1,   /* one confirming button */
    UREQ_QUESTION = 67 /* yes and no */
};

typedef struct UReqTextRequest {
    const hxchar* title;
    const hxchar* text;
    uint32_t reserved2[3];
    uint32_t style;
    uint32_t reserved6;
    uint32_t answer; /* written by the host: 1 = yes */
    uint32_t reserved8[3];
} UReqTextRequest;

HX_ASSERT_LAYOUT32(offsetof(UReqTextRequest, style) == 20);
HX_ASSERT_LAYOUT32(offsetof(UReqTextRequest, answer) == 28);
HX_ASSERT_LAYOUT32(sizeof(UReqTextRequest) == 44);

/* The crop-rectangle requester; the host reads the rectangle and writes the user's one back. */
typedef struct UReqImageRequest {
    uint16_t minWidth, minHeight; /* 10, 10 */
    uint16_t maxWidth, maxHeight; /* 999, 999 */
    uint16_t x, y, width, height;
    const OpImage* picture;
    int32_t pictureAspect;
    int32_t screenAspect;
    uint32_t answer; /* 1 when the user accepted the rectangle */
} UReqImageRequest;

HX_ASSERT_LAYOUT32(offsetof(UReqImageRequest, x) == 8);
HX_ASSERT_LAYOUT32(offsetof(UReqImageRequest, picture) == 16);
HX_ASSERT_LAYOUT32(offsetof(UReqImageRequest, answer) == 28);
HX_ASSERT_LAYOUT32(sizeof(UReqImageRequest) == 32);

typedef struct UReqMeter {
    const hxchar* title;
    uint32_t reserved1[2];
    uint16_t titleWidth; /* optional */
    uint16_t reserved3;
    uint32_t steps;
    uint32_t style;      /* 2 or 4 */
    uint32_t reserved6[3];
} UReqMeter;

HX_ASSERT_LAYOUT32(offsetof(UReqMeter, titleWidth) == 12);
HX_ASSERT_LAYOUT32(offsetof(UReqMeter, steps) == 16);
HX_ASSERT_LAYOUT32(offsetof(UReqMeter, style) == 20);
HX_ASSERT_LAYOUT32(sizeof(UReqMeter) == 36);

/* 0 = opened; nonzero = failure. */
HXAPI int32_t ureqCreateRequest(UReqRequest* request);
HXAPI void ureqDeleteRequest(UReqRequest* request);
/* Shows the notice or question and waits for the user; 0 = shown. */
HXAPI int32_t ureqTextRequest(UReqTextRequest* request);
/* Runs the crop requester; 0, or -1 when it cannot be shown. */
HXAPI int32_t ureqImageRequest(UReqImageRequest* request);
/* 0 = opened. */
HXAPI int32_t ureqOpenMeter(UReqMeter* meter);
/* Reports `done` steps (kind 3); 0 once the user stopped the meter. */
HXAPI int32_t ureqUpdateMeter(UReqMeter* meter, int32_t kind, int32_t done);
HXAPI void ureqCloseMeter(UReqMeter* meter);
HXAPI int32_t ureqVersion(int32_t which); /* 0: major, 1: minor */

HX_END_DECLS

#endif
