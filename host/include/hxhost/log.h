// The host's captured log: every entry the plug-ins and the host wrote with loggerMessage.
#ifndef HXHOST_LOG_H
#define HXHOST_LOG_H

#include "hxhost/api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hxhost {

struct LogEntry {
    int level = 0;
    int line = 0;
    std::string source;
    uint32_t module = 0;
    std::string text;
};
HXHOST_API std::vector<LogEntry> logEntries();
HXHOST_API void clearLog();

} // namespace hxhost

#endif
