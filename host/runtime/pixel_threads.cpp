#include "runtime/pixel_threads.h"

#include "hxhost/setup.h"
#include "runtime/reset_hook.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::atomic<int32_t> wanted{1};
// A loop is cut into up to this many ranges a thread, taken as the threads come free.
constexpr int32_t kRangesPerThread = 4;
// Set on a thread while it runs a range: a loop inside it runs on that thread alone.
thread_local bool inPart = false;

// Checks `done` for about kAwakeWait before giving up. Now and then the waiter offers its processor
// to any other thread ready to run, such as a still decoding ahead, which would otherwise have to
// preempt a thread that is working, not waiting.
constexpr auto kAwakeWait = std::chrono::microseconds(50);
template <typename Done> void spinUntil(Done done)
{
    const auto until = std::chrono::steady_clock::now() + kAwakeWait;
    for (int i = 0; !done(); ++i) {
#if defined(__x86_64__)
        __builtin_ia32_pause();
#endif
        if (i % 16 == 15) {
            if (std::chrono::steady_clock::now() > until)
                return;
            sched_yield();
        }
    }
}

std::exception_ptr runPart(const std::function<void(int32_t)>& range, int32_t part)
{
    inPart = true;
    std::exception_ptr thrown;
    try {
        range(part);
    } catch (...) {
        thrown = std::current_exception();
    }
    inPart = false;
    return thrown;
}

// Helpers wait for a job and take its ranges with the caller. Each thread has a home share of the
// ranges, the same share of every loop (the caller the first, helper k the (k + 2)th): it takes its
// own from the front and, once they are gone, another's from the back. A picture's rows then stay
// with one thread from one loop to the next (scaled, made into a field, woven), in that core's
// cache, while a helper slow to come leaves its share to the others.
class Helpers {
public:
    explicit Helpers(int32_t count) : next_(static_cast<size_t>(count) + 1), end_(static_cast<size_t>(count) + 1)
    {
        for (int32_t i = 0; i < count; ++i)
            threads_.emplace_back([this, i] { serve(i + 1); });
    }
    ~Helpers()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            leaving_ = true;
        }
        posted_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    int32_t count() const { return static_cast<int32_t>(threads_.size()); }

    // The caller and the helpers take the ranges one at a time until none is left. What a range
    // throws is thrown here once every range has ended.
    void run(int32_t parts, const std::function<void(int32_t)>& range)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            job_ = &range;
            const auto threads = static_cast<int32_t>(next_.size());
            for (int32_t i = 0; i < threads; ++i) {
                next_[static_cast<size_t>(i)] = parts * i / threads;
                end_[static_cast<size_t>(i)] = parts * (i + 1) / threads;
            }
            left_ = parts;
            busy_ = parts;
            thrown_ = nullptr;
            ++generation_;
        }
        posted_.notify_all();
        std::unique_lock<std::mutex> lock(mutex_);
        takeRanges(lock, 0);
        lock.unlock();
        // The last ranges end about together: the helpers' are waited for awake a while before
        // asleep, since waking a thread costs more than the wait usually does.
        spinUntil([&] { return busy_.load(std::memory_order_acquire) == 0; });
        lock.lock();
        done_.wait(lock, [&] { return busy_ == 0; });
        job_ = nullptr;
        if (thrown_)
            std::rethrow_exception(std::exchange(thrown_, nullptr));
    }

private:
    // The next range for thread `self`: its own next one, or else the last of the share with most left.
    int32_t takeRange(size_t self)
    {
        --left_;
        if (next_[self] < end_[self])
            return next_[self]++;
        size_t most = self;
        for (size_t i = 0; i < next_.size(); ++i)
            if (end_[i] - next_[i] > end_[most] - next_[most])
                most = i;
        return --end_[most];
    }

    // Runs ranges of the job while there are any left; `lock` holds the mutex between them.
    void takeRanges(std::unique_lock<std::mutex>& lock, size_t self)
    {
        while (left_ > 0) {
            const int32_t part = takeRange(self);
            const std::function<void(int32_t)>* job = job_;
            lock.unlock();
            const std::exception_ptr thrown = runPart(*job, part);
            lock.lock();
            if (thrown && !thrown_)
                thrown_ = thrown;
            if (--busy_ == 0)
                done_.notify_one();
        }
    }

    void serve(size_t self)
    {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            // A picture's loops come one after another: the next job is waited for awake a while.
            lock.unlock();
            spinUntil([&] { return leaving_.load(std::memory_order_relaxed) || generation_.load(std::memory_order_acquire) != seen; });
            lock.lock();
            posted_.wait(lock, [&] { return leaving_ || (generation_ != seen && left_ > 0); });
            if (leaving_)
                return;
            seen = generation_;
            takeRanges(lock, self);
        }
    }

    std::mutex mutex_;
    std::condition_variable posted_, done_;
    std::vector<std::thread> threads_;
    const std::function<void(int32_t)>* job_ = nullptr;
    std::vector<int32_t> next_, end_; // each thread's share of the job's ranges not yet taken
    int32_t left_ = 0;
    std::exception_ptr thrown_;
    // Changed under the mutex; read without it while waiting awake.
    std::atomic<int32_t> busy_{0};
    std::atomic<uint64_t> generation_{0};
    std::atomic<bool> leaving_{false};
};

struct Pool {
    std::mutex turn; // one job at a time has the helpers
    std::unique_ptr<Helpers> helpers;
};

Pool& pool()
{
    static Pool kept;
    // A forked child has the memory of the helpers but not their threads: it makes its own
    // (the forked render workers' rules: playback/render_workers.h).
    static const int forgetInChild = pthread_atfork(nullptr, nullptr, [] { (void)pool().helpers.release(); });
    (void)forgetInChild;
    return kept;
}

// The helpers for `count` more threads, made anew when the count changed.
Helpers& helpers(int32_t count)
{
    Pool& p = pool();
    if (!p.helpers || p.helpers->count() != count)
        p.helpers = std::make_unique<Helpers>(count);
    return *p.helpers;
}

const hx::ResetHook oneThread([] { wanted.store(1); });

} // namespace

namespace hx {

int32_t pixelThreads()
{
    return wanted.load(std::memory_order_relaxed);
}

void forRowRanges(int32_t rows, int32_t least, const std::function<void(int32_t begin, int32_t end)>& part)
{
    const int32_t threads = pixelThreads();
    const int32_t parts = inPart || threads <= 1 ? 1 : std::clamp(rows / std::max(least, 1), 1, threads * kRangesPerThread);
    const auto range = [&](int32_t i) {
        part(static_cast<int32_t>(int64_t{rows} * i / parts), static_cast<int32_t>(int64_t{rows} * (i + 1) / parts));
    };
    std::unique_lock<std::mutex> turn(pool().turn, std::defer_lock);
    // While another thread's job has the helpers, this one runs on its own thread.
    if (parts <= 1 || !turn.try_lock()) {
        part(0, rows);
        return;
    }
    helpers(threads - 1).run(parts, range);
}

} // namespace hx

namespace hxhost {

void setPixelThreads(int32_t threads)
{
    wanted.store(std::clamp(threads, 1, 64), std::memory_order_relaxed);
}

} // namespace hxhost
