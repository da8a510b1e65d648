// hxlog: every entry is kept for inspection.
#include "host/hxlog.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/log.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <string>

extern "C" void loggerMessage(int level, int line, const char* source, uint32_t module, const char* format, ...) HX_ENTRY
{
    hx::countCall("loggerMessage");
    hxhost::LogEntry entry;
    entry.level = level;
    entry.line = line;
    entry.source = source ? source : "";
    entry.module = module;
    if (format) {
        char text[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        entry.text = text;
    }
    hx::state().log.push_back(std::move(entry));
}
HX_ENTRY_FAILS_VOID

namespace hxhost {

std::vector<LogEntry> logEntries()
{
    return hx::state().log;
}

void clearLog()
{
    hx::state().log.clear();
}

} // namespace hxhost

namespace hx {

void logEscapedException(const char* entryPoint) noexcept
{
    try {
        std::string what = "unknown exception";
        try {
            throw;
        } catch (const std::exception& error) {
            what = error.what();
        } catch (...) {
        }
        loggerMessage(4, __LINE__, "hx", 0, "%s: %s", entryPoint, what.c_str());
    } catch (...) {
        // Nothing more can be said when even the log cannot take the entry.
    }
}

} // namespace hx
