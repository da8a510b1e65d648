// The host's side of message queues: posting and taking messages.
#ifndef HX_MSGQ_H
#define HX_MSGQ_H

#include "host/hxmsgq.h"

#include <cstring>
#include <deque>
#include <vector>

namespace hx {

bool postMessage(MsgQueue* queue, const void* message, size_t size);
bool takeMessage(MsgQueue* queue, void* message, size_t size);
// Bytes of one message of the queue; 0 when it is not live.
int32_t messageSize(MsgQueue* queue);
// The most recently created live queue: where a program's windows post.
MsgQueue* newestQueue();

} // namespace hx

#endif
