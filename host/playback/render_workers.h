// Frames rendered side by side by worker processes. The operators a show plays keep state that is
// not theirs alone (the plug-ins' caches, the host's registries), so each worker is a process of its
// own, forked with everything the show needs, rendering every N-th group of frames with its own
// player; the frames come back in order through shared memory, a few in flight per worker.
//
// What keeps a forked worker safe. A worker starts as a copy of the host's memory holding only the
// thread that forked it, so:
// - start() is called while the host runs no other thread of its own: the export forks its workers
//   before the encoder and the writer start theirs.
// - Work other threads have in flight is let go before the fork: the export forgets its decoded
//   stills, whose running decodes would leave futures that no thread of the worker completes.
// - What holds threads is made anew in the worker: the pixel loops' helpers are dropped unjoined in
//   the child (their pthread_atfork handler), and the worker makes its own when it splits rows.
// - Each worker makes its own player after the fork (MakeRender) and leaves with _exit, so nothing
//   of the host's copy is written back or torn down twice.
// - A worker does not outlive the host: it is killed when its parent dies, and leaves at once when
//   the host died before it could ask for that.
#ifndef HX_RENDER_WORKERS_H
#define HX_RENDER_WORKERS_H

#include "hxhost/video_file.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hx {

class RenderWorkers {
public:
    // Renders frame f into `planes`, the frame's bytes, where the host reads it; false with a reason.
    // Frames come in increasing order.
    using Render = std::function<bool(int64_t f, uint8_t* planes, std::string* error)>;
    // Made once in each worker, after the fork.
    using MakeRender = std::function<Render()>;

    RenderWorkers(int32_t workers, int64_t from, int64_t to, size_t frameBytes);
    // Workers still running are stopped and reaped.
    ~RenderWorkers();
    RenderWorkers(const RenderWorkers&) = delete;
    RenderWorkers& operator=(const RenderWorkers&) = delete;

    // Forks the workers, as the rules above say. False with a reason.
    bool start(const MakeRender& make, std::string* error);
    // The next frame in order into `frame`; false with the worker's reason when it failed or died.
    bool next(hxhost::WovenFrame& frame, std::string* error);

    // The worker of frame f, and the frames it renders in order.
    static int32_t workerOf(int64_t f, int64_t from, int32_t workers);
    static std::vector<int64_t> framesOf(int32_t worker, int64_t from, int64_t to, int32_t workers);

private:
    struct Channel;
    static constexpr size_t channelHeaderBytes();
    Channel* channel(int32_t worker) const;
    uint8_t* slot(int32_t worker, uint64_t index) const;
    [[noreturn]] void work(int32_t worker, const MakeRender& make);
    void stopAll();

    int32_t workers_;
    int64_t from_, to_, next_;
    size_t frameBytes_, channelBytes_ = 0, mappedBytes_ = 0;
    void* shared_ = nullptr;
    pid_t host_ = 0; // the process that forked the workers
    std::vector<pid_t> pids_;
    std::vector<uint64_t> taken_; // frames read from each worker
};

} // namespace hx

#endif
