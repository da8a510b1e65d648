// Fault injection beyond failing calls: exceptions inside services, and the names faults accept.
#ifndef HXHOST_FAULTS_H
#define HXHOST_FAULTS_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

// Makes the named service throw a C++ exception on its Nth call from now (1 = the next call), once.
// The entry point's guard must turn it into the entry point's failure result and a level-4 entry.
HXHOST_API void throwInService(const std::string& name, uint32_t nth = 1);

// Every service that can be made to fail: the names failService and throwInService accept (any
// other name throws std::invalid_argument, so a misspelt fault cannot pass silently).
HXHOST_API const std::vector<std::string>& fallibleServices();

} // namespace hxhost

#endif
