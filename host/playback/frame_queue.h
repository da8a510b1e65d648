// Woven frames on their way from the render to the writer: at most a few in flight, in order, and
// their buffers reused once written, so an export's memory does not grow with its length.
#ifndef HX_FRAME_QUEUE_H
#define HX_FRAME_QUEUE_H

#include "hxhost/video_file.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace hx {

// The writer is woken when half the frames in flight are waiting, or at the end, rather than for
// every frame: a writer faster than the render would otherwise sleep and wake once a frame.
class FrameQueue {
public:
    explicit FrameQueue(size_t capacity) : capacity_(capacity), wakeAt_(std::max<size_t>(capacity / 2, 1)) {}

    // A frame buffer to render into: a written one when there is one.
    std::unique_ptr<hxhost::WovenFrame> spare();
    // Waits for room; false when the other side failed.
    bool push(std::unique_ptr<hxhost::WovenFrame> frame);
    // The next frame in order; null once the queue failed, or once it is empty after close().
    std::unique_ptr<hxhost::WovenFrame> pop();
    // No more frames come: the writer takes the last ones without waiting for more.
    void close();
    void recycle(std::unique_ptr<hxhost::WovenFrame> frame);
    // Either side gives up: every wait ends.
    void fail();

private:
    size_t capacity_;
    size_t wakeAt_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<hxhost::WovenFrame>> frames_;
    std::vector<std::unique_ptr<hxhost::WovenFrame>> spares_;
    bool failed_ = false;
    bool closed_ = false;
};

} // namespace hx

#endif
