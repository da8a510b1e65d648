#include "runtime/host_state.h"

#include <stdexcept>

namespace hx {

HostState& state()
{
    static HostState host = freshHostState();
    return host;
}

void countCall(const char* service)
{
    ++state().calls[service];
}

bool shouldFail(const char* service)
{
    if (!isFallibleService(service))
        throw std::logic_error(std::string("unlisted fallible service ") + service);
    HostState& host = state();
    ++host.calls[service];
    ++host.fallibleCalls;
    bool fail = false;
    bool throws = false;
    if (host.sweepRemaining > 0 && --host.sweepRemaining == 0)
        fail = true;
    auto it = host.faults.find(service);
    if (it != host.faults.end() && it->second.armed) {
        Fault& fault = it->second;
        if (fault.remaining > 1) {
            --fault.remaining;
        } else {
            fail = true;
            throws = fault.throws;
            if (!fault.persistent)
                fault.armed = false;
        }
    }
    if (fail)
        ++host.faultsFired;
    if (throws)
        throw std::runtime_error(std::string("injected exception in ") + service);
    return fail;
}

} // namespace hx
