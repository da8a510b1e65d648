// Process-wide state of the reference host and the bookkeeping every service shares: fault
// injection, call counters and live-object counts.
#ifndef HX_HOST_STATE_H
#define HX_HOST_STATE_H

#include "hxhost/faults.h"
#include "hxhost/log.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"
#include "hxhost/user.h"
#include "hxhost/video_format.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hx {

struct Fault {
    uint32_t remaining = 0; // calls to let pass before failing
    bool persistent = false;
    bool armed = true;
    bool throws = false; // throw an exception instead of failing
};

struct HostState {
    std::string home;
    std::string resourceRoot;
    int32_t projectNumber = 0;
    hxhost::VideoFormat format; // PAL
    bool timingAvailable = true;
    int64_t frameRateOverride = -1;
    hxhost::Version versions[3];
    int32_t firstFieldStatus = 1;
    std::map<std::string, bool> symbolAvailable;
    hxhost::Screen screen;
    std::vector<hxhost::Screen> screenHistory;

    std::shared_ptr<hxhost::ScriptedUser> scripted;
    std::shared_ptr<hxhost::User> user;
    std::vector<hxhost::TextRequestSeen> textRequests;
    std::vector<hxhost::MeterSeen> meters;
    std::vector<hxhost::ImageRequestSeen> imageRequests;

    std::map<std::string, Fault> faults;
    uint32_t sweepRemaining = 0; // 0: no sweep armed
    std::map<std::string, uint32_t> calls;
    uint32_t fallibleCalls = 0;
    uint32_t faultsFired = 0;

    std::vector<hxhost::LogEntry> log;

    size_t stillPixelLimit = hxhost::kDefaultStillPixelLimit;
    bool reducedCopies = true;
    uint32_t nextUniqueId = 0x1000;
};

HostState& state();
// The state of a freshly started host.
HostState freshHostState();

// Counts a call of a service that cannot fail.
void countCall(const char* service);
// Counts a call of a fallible service and tells whether an injected fault makes it fail now; throws
// when the fault is an exception, or when `service` is not one of hxhost::fallibleServices().
bool shouldFail(const char* service);
bool isFallibleService(const std::string& name);

} // namespace hx

#endif
