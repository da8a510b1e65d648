#include "image/decode/parallel_decode.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace {

struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<hx::DecodedStill>> results;
    size_t next = 0;    // the first file no worker has taken
    size_t taken = 0;   // the first file the calling thread has not taken
    size_t window = 1;  // files decoded ahead of the calling thread at most
};

void work(Shared& shared, const std::vector<std::string>& paths, bool highDefinition, size_t maxPixels, bool checkOnly)
{
    for (;;) {
        size_t index = 0;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            shared.changed.wait(lock, [&] { return shared.next >= paths.size() || shared.next < shared.taken + shared.window; });
            if (shared.next >= paths.size())
                return;
            index = shared.next++;
        }
        hx::DecodedStill decoded = hx::decodeStillFile(paths[index], highDefinition, maxPixels, checkOnly);
        {
            const std::lock_guard<std::mutex> lock(shared.mutex);
            shared.results[index] = std::move(decoded);
        }
        shared.changed.notify_all();
    }
}

} // namespace

namespace hx {

void decodeInOrder(const std::vector<std::string>& paths, bool highDefinition, size_t maxPixels, bool checkOnly,
                   unsigned threads, const std::function<void(size_t, DecodedStill)>& take)
{
    if (threads <= 1 || paths.size() <= 1) {
        for (size_t i = 0; i < paths.size(); ++i)
            take(i, decodeStillFile(paths[i], highDefinition, maxPixels, checkOnly));
        return;
    }
    Shared shared;
    shared.results.resize(paths.size());
    shared.window = threads + 1;
    std::vector<std::thread> workers;
    // However the calling thread leaves (a handover that throws), the workers stop and are joined.
    struct Joiner {
        Shared& shared;
        std::vector<std::thread>& workers;
        ~Joiner()
        {
            {
                const std::lock_guard<std::mutex> lock(shared.mutex);
                shared.next = shared.results.size();
            }
            shared.changed.notify_all();
            for (std::thread& worker : workers)
                worker.join();
        }
    } joiner{shared, workers};
    for (unsigned t = 0; t < threads && t < paths.size(); ++t)
        workers.emplace_back(work, std::ref(shared), std::cref(paths), highDefinition, maxPixels, checkOnly);
    for (size_t i = 0; i < paths.size(); ++i) {
        DecodedStill decoded;
        {
            std::unique_lock<std::mutex> lock(shared.mutex);
            shared.changed.wait(lock, [&] { return shared.results[i].has_value(); });
            decoded = std::move(*shared.results[i]);
            shared.results[i].reset();
            shared.taken = i + 1;
        }
        shared.changed.notify_all();
        take(i, std::move(decoded));
    }
}

} // namespace hx
