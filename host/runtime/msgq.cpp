// hxmsgq: bounded queues of fixed-size messages.
#include "runtime/msgq.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/live_registry.h"
#include "hxhost/testing.h"

#include <algorithm>

struct MsgQueue {
    int32_t capacity;
    int32_t messageSize;
    std::deque<std::vector<uint8_t>> messages;
};

namespace {

void deleteQueue(MsgQueue* queue)
{
    delete queue;
}

hx::LiveRegistry<MsgQueue*>& liveQueues()
{
    static hx::LiveRegistry<MsgQueue*> queues{&hxhost::LiveCounts::queues, hx::OnReset::Release, deleteQueue};
    return queues;
}

bool isLive(MsgQueue* queue)
{
    return queue && liveQueues().contains(queue);
}

} // namespace

namespace hx {

bool postMessage(MsgQueue* queue, const void* message, size_t size)
{
    if (!isLive(queue) || static_cast<int32_t>(queue->messages.size()) >= queue->capacity)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(queue->messageSize), 0);
    std::memcpy(bytes.data(), message, std::min(size, bytes.size()));
    queue->messages.push_back(std::move(bytes));
    return true;
}

bool takeMessage(MsgQueue* queue, void* message, size_t size)
{
    if (!isLive(queue) || queue->messages.empty())
        return false;
    const std::vector<uint8_t>& bytes = queue->messages.front();
    std::memset(message, 0, size);
    std::memcpy(message, bytes.data(), std::min(size, bytes.size()));
    queue->messages.pop_front();
    return true;
}

int32_t messageSize(MsgQueue* queue)
{
    return isLive(queue) ? queue->messageSize : 0;
}

MsgQueue* newestQueue()
{
    return liveQueues().newest();
}

} // namespace hx

extern "C" {

MsgQueue* msgQCreate(int32_t capacity, int32_t messageSize, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("msgQCreate") || capacity <= 0 || messageSize <= 0 || messageSize > 4096)
        return nullptr;
    auto* queue = new MsgQueue{capacity, messageSize, {}};
    liveQueues().add(queue);
    return queue;
}
HX_ENTRY_FAILS(nullptr)

void msgQDelete(MsgQueue* queue) HX_ENTRY
{
    hx::countCall("msgQDelete");
    if (isLive(queue)) {
        liveQueues().remove(queue);
        delete queue;
    }
}
HX_ENTRY_FAILS_VOID

} // extern "C"
