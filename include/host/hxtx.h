/* Image-file library: the file requester and the library's own scaler. */
#ifndef HX_HXTX_H
#define HX_HXTX_H

#include "hxapi.h"
#include "hxopcommon.h"

HX_BEGIN_DECLS

typedef struct TxRequest TxRequest;

/* Kinds of file requester. */
enum {
    TX_SOUND_FILES = 1 /* lists sound files only; the display name is the file's title tag, else its name */
};

/* Owned: free with txFreeRequest; null on failure. */
HXAPI TxRequest* txAllocRequest(int32_t kind);
/* Shows the requester; 0 when it ran. */
HXAPI int32_t txRequest(TxRequest* request, uint32_t flags);
/* 1 when the user chose a file. */
HXAPI int32_t txGetStatus(TxRequest* request);
/* Copy the chosen path (8-bit) and display name (16-bit), at most `size` characters and a terminator; 0 or nonzero. */
HXAPI int32_t txGetFileName(TxRequest* request, char* buffer, int32_t size);
HXAPI int32_t txGetImageName(TxRequest* request, hxchar* buffer, int32_t size);
HXAPI int32_t txGetOrientation(TxRequest* request);
HXAPI void txFreeRequest(TxRequest* request);

/* Scales source into the size of target; 0, or -1 on failure. */
HXAPI int32_t txOpScale(const OpImage* source, OpImage* target, uint32_t flags);

HX_END_DECLS

#endif
