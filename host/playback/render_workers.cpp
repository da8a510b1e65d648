#include "playback/render_workers.h"

#include <semaphore.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace hx {

namespace {

// Frames a worker renders in a row: a scene's photo is decoded once per group, and a group is long
// enough for the other workers to render theirs meanwhile.
constexpr int64_t kGroupFrames = 6;
// Frames a worker may have waiting: two groups, so it renders on while its last group is read.
constexpr uint64_t kSlots = 2 * kGroupFrames;

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

// What a worker and the host share besides the frames: a count each way, and the worker's failure.
struct RenderWorkers::Channel {
    sem_t filled;           // frames (or the failure) ready to be read
    sem_t free;             // slots the worker may fill
    uint64_t written;       // frames written, each before its post of `filled`
    int32_t failed;         // set before the last post of `filled`
    char reason[512];
};

// A channel's record, rounded up so that its frame slots start on a cache line.
constexpr size_t RenderWorkers::channelHeaderBytes()
{
    return (sizeof(Channel) + 63) / 64 * 64;
}

RenderWorkers::RenderWorkers(int32_t workers, int64_t from, int64_t to, size_t frameBytes)
    : workers_(workers), from_(from), to_(to), next_(from), frameBytes_(frameBytes),
      taken_(static_cast<size_t>(workers), 0)
{
}

RenderWorkers::~RenderWorkers()
{
    stopAll();
    if (shared_) {
        for (int32_t w = 0; w < workers_; ++w) {
            sem_destroy(&channel(w)->filled);
            sem_destroy(&channel(w)->free);
        }
        munmap(shared_, mappedBytes_);
    }
}

int32_t RenderWorkers::workerOf(int64_t f, int64_t from, int32_t workers)
{
    return static_cast<int32_t>(((f - from) / kGroupFrames) % workers);
}

std::vector<int64_t> RenderWorkers::framesOf(int32_t worker, int64_t from, int64_t to, int32_t workers)
{
    std::vector<int64_t> frames;
    for (int64_t group = from + worker * kGroupFrames; group < to; group += workers * kGroupFrames)
        for (int64_t f = group; f < group + kGroupFrames && f < to; ++f)
            frames.push_back(f);
    return frames;
}

RenderWorkers::Channel* RenderWorkers::channel(int32_t worker) const
{
    return reinterpret_cast<Channel*>(static_cast<uint8_t*>(shared_) + static_cast<size_t>(worker) * channelBytes_);
}

uint8_t* RenderWorkers::slot(int32_t worker, uint64_t index) const
{
    return reinterpret_cast<uint8_t*>(channel(worker)) + channelHeaderBytes() + (index % kSlots) * frameBytes_;
}

bool RenderWorkers::start(const MakeRender& make, std::string* error)
{
    channelBytes_ = (channelHeaderBytes() + kSlots * frameBytes_ + 4095) / 4096 * 4096;
    mappedBytes_ = channelBytes_ * static_cast<size_t>(workers_);
    void* shared = mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        return fail(error, "no memory to share " + std::to_string(mappedBytes_ >> 20) + " MiB of frames with the workers");
    shared_ = shared;
    for (int32_t w = 0; w < workers_; ++w) {
        Channel* c = channel(w);
        std::memset(c, 0, sizeof *c);
        if (sem_init(&c->filled, 1, 0) != 0 || sem_init(&c->free, 1, static_cast<unsigned>(kSlots)) != 0)
            return fail(error, "cannot set up the workers' semaphores");
    }
    host_ = getpid();
    for (int32_t w = 0; w < workers_; ++w) {
        const pid_t pid = fork();
        if (pid < 0)
            return fail(error, std::string("cannot start a render worker: ") + std::strerror(errno));
        if (pid == 0)
            work(w, make);
        pids_.push_back(pid);
    }
    return true;
}

void RenderWorkers::work(int32_t worker, const MakeRender& make)
{
    Channel* c = channel(worker);
    // A worker does not outlive the host: it goes when the host's process does.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != host_)
        _exit(1);
    const Render render = make();
    std::string reason;
    for (int64_t f : framesOf(worker, from_, to_, workers_)) {
        while (sem_wait(&c->free) != 0 && errno == EINTR) {
        }
        if (!render(f, slot(worker, c->written), &reason)) {
            if (reason.empty())
                reason = "frame " + std::to_string(f) + " failed to render";
            std::strncpy(c->reason, reason.c_str(), sizeof c->reason - 1);
            c->failed = 1;
            sem_post(&c->filled);
            _exit(1);
        }
        __atomic_add_fetch(&c->written, 1, __ATOMIC_RELEASE);
        sem_post(&c->filled);
    }
    _exit(0); // what the process holds is the host's copy; nothing of it is to be written back
}

bool RenderWorkers::next(hxhost::WovenFrame& frame, std::string* error)
{
    if (next_ >= to_)
        return fail(error, "no frame is left to render");
    const int32_t w = workerOf(next_, from_, workers_);
    Channel* c = channel(w);
    // Waits a second at a time, so that a worker that died unannounced is noticed.
    for (;;) {
        timespec until{};
        clock_gettime(CLOCK_REALTIME, &until);
        until.tv_sec += 1;
        if (sem_timedwait(&c->filled, &until) == 0)
            break;
        if (errno == EINTR)
            continue;
        int status = 0;
        if (waitpid(pids_[static_cast<size_t>(w)], &status, WNOHANG) == pids_[static_cast<size_t>(w)]) {
            pids_[static_cast<size_t>(w)] = -1;
            if (sem_trywait(&c->filled) == 0)
                break; // it posted just before it went
            return fail(error, "a render worker ended unexpectedly" +
                                   (WIFSIGNALED(status) ? " (signal " + std::to_string(WTERMSIG(status)) + ")" : std::string()));
        }
    }
    if (taken_[static_cast<size_t>(w)] >= __atomic_load_n(&c->written, __ATOMIC_ACQUIRE))
        return fail(error, c->failed ? std::string(c->reason, strnlen(c->reason, sizeof c->reason)) : "a render worker failed");
    frame.planes.resize(frameBytes_);
    std::memcpy(frame.planes.data(), slot(w, taken_[static_cast<size_t>(w)]), frameBytes_);
    ++taken_[static_cast<size_t>(w)];
    sem_post(&c->free);
    ++next_;
    return true;
}

void RenderWorkers::stopAll()
{
    for (pid_t& pid : pids_) {
        if (pid <= 0)
            continue;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid = -1;
    }
}

} // namespace hx
