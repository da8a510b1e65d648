#include "player/sound_feeder.h"

#include "hxhost/video_file.h"

#include <chrono>
#include <vector>

namespace hx {

namespace {

// Enough to ride out a slow moment of the machine, little enough that a pause or a seek is heard at once.
constexpr size_t kQueuedAhead = hxhost::kAudioRate / 4;
constexpr auto kFeedEvery = std::chrono::milliseconds(20);

} // namespace

void SoundFeeder::start(std::unique_ptr<hxhost::ShowAudio> mix, int64_t frame, int64_t end)
{
    stop();
    mix_ = std::move(mix);
    stopping_ = false;
    queued_ = 0;
    failure_.clear();
    thread_ = std::thread([this, frame, end] { feed(frame, end); });
    output_.pause(false);
}

void SoundFeeder::stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    output_.pause(true);
    output_.clear();
    mix_.reset();
}

int64_t SoundFeeder::played() const
{
    std::lock_guard lock(mutex_);
    return queued_ - static_cast<int64_t>(output_.queued());
}

std::string SoundFeeder::failure() const
{
    std::lock_guard lock(mutex_);
    return failure_;
}

void SoundFeeder::feed(int64_t frame, int64_t end)
{
    std::vector<float> samples;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        while (!stopping_ && frame < end && output_.queued() < kQueuedAhead) {
            std::string why;
            // The mix is this thread's alone; the lock only keeps the count and the queue in step.
            lock.unlock();
            const bool mixed = mix_->frameSound(frame, samples, &why);
            lock.lock();
            if (!mixed || !output_.queue(samples.data(), samples.size() / hxhost::kAudioChannels, why)) {
                failure_ = why;
                return;
            }
            queued_ += static_cast<int64_t>(samples.size() / hxhost::kAudioChannels);
            ++frame;
        }
        wake_.wait_for(lock, kFeedEvery, [this] { return stopping_; });
    }
}

} // namespace hx
