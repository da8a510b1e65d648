// Fault injection: making a named service fail or throw on its Nth call, and the names faults accept.
#ifndef HXHOST_FAULTS_H
#define HXHOST_FAULTS_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

// Makes the named service fail on its Nth call from now (1 = the next call); persistent keeps it
// failing from then on.
HXHOST_API void failService(const std::string& name, uint32_t nth = 1, bool persistent = false);
// Fault sweep: the Nth fallible call of any service from now fails, once.
HXHOST_API void failNthFallibleCall(uint32_t nth);
HXHOST_API void clearFaults();

// Makes the named service throw a C++ exception on its Nth call from now (1 = the next call), once.
// The entry point's guard must turn it into the entry point's failure result and a level-4 entry.
HXHOST_API void throwInService(const std::string& name, uint32_t nth = 1);

// Every service that can be made to fail: the names failService and throwInService accept (any
// other name throws std::invalid_argument, so a misspelt fault cannot pass silently).
HXHOST_API const std::vector<std::string>& fallibleServices();

} // namespace hxhost

#endif
