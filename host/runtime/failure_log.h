// The host's own failures in the log, as the plug-ins log theirs: level 4 at the failing line, the
// source named after the folder ("host\scenes"), and a text naming the file and the reason.
#ifndef HX_FAILURE_LOG_H
#define HX_FAILURE_LOG_H

#include <source_location>
#include <string>

namespace hx {

void logFailure(const std::string& reason, std::source_location where = std::source_location::current());

} // namespace hx

#endif
