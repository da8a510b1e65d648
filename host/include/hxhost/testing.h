// What the tests look at: call counters, the host objects handed out and still alive, and the
// screens of the host's command parser. Making services fail: hxhost/faults.h.
#ifndef HXHOST_TESTING_H
#define HXHOST_TESTING_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

// ---- Call counters ----
HXHOST_API uint32_t callCount(const std::string& name);
HXHOST_API uint32_t totalCallCount();       // calls of every service since reset()
HXHOST_API uint32_t fallibleCallCount();  // fallible calls since reset()
HXHOST_API uint32_t faultsFired();         // injected failures since reset()

// ---- Live host objects handed out ----
struct LiveCounts {
    int64_t images = 0;
    int64_t avRecords = 0;   // copies handed out, not the scene bin's own records
    int64_t queues = 0;
    int64_t catalogues = 0;
    int64_t windows = 0;
    int64_t scenes = 0;
    int64_t operators = 0;
    int64_t meters = 0;
    int64_t guiImages = 0;          // ugAllocImage
    int64_t gadgetExtensions = 0;   // ugAllocGadExt
    int64_t fileRequests = 0;       // txAllocRequest
    int64_t operatorPanels = 0;     // mainBuildOpGui

    bool operator==(const LiveCounts&) const = default;
    bool empty() const { return *this == LiveCounts{}; }
};
HXHOST_API LiveCounts liveCounts();

// ---- Screens of the host's command parser ----
struct Screen {
    uint32_t screen = 0;
    uint32_t mode = 0;
};
HXHOST_API Screen currentScreen();
HXHOST_API std::vector<Screen> screenHistory(); // every screen made current, in order

} // namespace hxhost

#endif
