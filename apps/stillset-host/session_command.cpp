// stillset-host session: runs the slideshow tool on a host project, as the host's user starts it.
#include "commands.h"
#include "options.h"
#include "plugin.h"

#include "hxhost/hxhost.h"

#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] =
    "usage: stillset-host session --hxhome DIR --project N [--plugin PATH]\n"
    "\n"
    "Opens (or creates) host project N under the installation DIR, starts the slideshow tool on it\n"
    "and prints the log entries the tool wrote. The tool's own files land in\n"
    "DIR/programs/stillset/project<N+1>.\n"
    "\n"
    "  --hxhome DIR    the installation root (created when missing)\n"
    "  --project N     the host's active project number, 0 or more\n"
    "  --plugin PATH   the slideshow plug-in (default: libstillset.so beside the host library)\n";

} // namespace

int runSession(const Arguments& arguments)
{
    Options options("session", {"--hxhome", "--project", "--plugin"}, {});
    std::string error;
    long project = -1;
    if (!options.parse(arguments, error) || !options.integer("--project", 0, 1000000, project, error))
        return usageError(error);
    if (options.helpAsked()) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!options.positional().empty())
        return usageError("session: unexpected argument '" + options.positional()[0] + "' (try session --help)");
    if (!options.has("--hxhome") || project < 0)
        return usageError("session: --hxhome and --project are required (try session --help)");

    hxhost::setProjectNumber(static_cast<int32_t>(project));
    if (!hxhost::installHome(options.value("--hxhome"), &error) || !hxhost::openProject(&error))
        return usageError("session: " + error), 1;
    Plugin plugin;
    if (!plugin.load(options.value("--plugin", defaultPluginPath("stillset")), error))
        return usageError("session: " + error), 1;

    hxhost::clearLog();
    OperatorActionRecord record;
    std::memset(&record, 0, sizeof record);
    record.action = OP_ACTION_RUN;
    const int32_t result = plugin.action()(&record);
    for (const hxhost::LogEntry& entry : hxhost::logEntries())
        std::printf("log level %d %s:%d module 0x%08X\n", entry.level, entry.source.c_str(), entry.line, entry.module);
    std::printf("session ended with %d\n", result);
    return result == 0 ? 0 : 1;
}
