/* Message queues: fixed-size messages posted by the host's windows. */
#ifndef HX_HXMSGQ_H
#define HX_HXMSGQ_H

#include "hxapi.h"

HX_BEGIN_DECLS

typedef struct MsgQueue MsgQueue;

/* Room for `capacity` messages of `messageSize` bytes; null on failure. Owned: free with msgQDelete. */
HXAPI MsgQueue* msgQCreate(int32_t capacity, int32_t messageSize, uint32_t flags);
HXAPI void msgQDelete(MsgQueue* queue);

HX_END_DECLS

#endif
