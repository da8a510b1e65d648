// hxlog: every entry is kept for inspection and optionally echoed to a file under HXHOME.
#include "host/hxlog.h"

#include "runtime/atomic_file.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <string>

namespace {

void echo(const hxhost::LogEntry& entry)
{
    const std::string directory = hx::state().home + "/log";
    if (hx::state().home.empty() || !hx::makeDirectories(directory))
        return;
    if (FILE* file = std::fopen((directory + "/host.log").c_str(), "a")) {
        std::fprintf(file, "%d %s:%d module 0x%08X %s\n", entry.level, entry.source.c_str(), entry.line,
                     entry.module, entry.text.c_str());
        std::fclose(file);
    }
}

} // namespace

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
    if (hx::state().logEcho)
        echo(entry);
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

void setLogFileEcho(bool enabled)
{
    hx::state().logEcho = enabled;
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
