#include "playback/frame_queue.h"

namespace hx {

std::unique_ptr<hxhost::WovenFrame> FrameQueue::spare()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (spares_.empty())
        return std::make_unique<hxhost::WovenFrame>();
    auto frame = std::move(spares_.back());
    spares_.pop_back();
    return frame;
}

bool FrameQueue::push(std::unique_ptr<hxhost::WovenFrame> frame)
{
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return failed_ || frames_.size() < capacity_; });
    if (failed_)
        return false;
    frames_.push_back(std::move(frame));
    if (frames_.size() >= wakeAt_)
        changed_.notify_all();
    return true;
}

std::unique_ptr<hxhost::WovenFrame> FrameQueue::pop()
{
    std::unique_lock<std::mutex> hold(lock_);
    if (frames_.empty())
        changed_.wait(hold, [&] { return failed_ || closed_ || frames_.size() >= wakeAt_; });
    if (failed_ || frames_.empty())
        return nullptr;
    auto frame = std::move(frames_.front());
    frames_.pop_front();
    changed_.notify_all();
    return frame;
}

void FrameQueue::recycle(std::unique_ptr<hxhost::WovenFrame> frame)
{
    std::lock_guard<std::mutex> hold(lock_);
    spares_.push_back(std::move(frame));
}

void FrameQueue::close()
{
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
    changed_.notify_all();
}

void FrameQueue::fail()
{
    std::lock_guard<std::mutex> hold(lock_);
    failed_ = true;
    changed_.notify_all();
}

} // namespace hx
