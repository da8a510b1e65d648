// The host's own failures in the log, as the plug-ins log theirs: level 4 at the failing line, the
// source named after the folder ("host\scenes"), and a text naming the file and the reason.
#ifndef HX_FAILURE_LOG_H
#define HX_FAILURE_LOG_H

#include <string>

namespace hx {

// The defaults name the caller's file and line (the builtins rather than std::source_location, which
// the fuzzing build's compiler lacks).
void logFailure(const std::string& reason, const char* file = __builtin_FILE(), int line = __builtin_LINE());

} // namespace hx

#endif
