// stillset-host session: runs the slideshow tool on a host project, as the host's user starts it.
#include "commands.h"
#include "plugin.h"

#include "hxhost/hxhost.h"

#include <cstdio>
#include <cstdlib>
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

bool parseProject(const std::string& text, int32_t& number)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 0 || value > 1000000)
        return false;
    number = static_cast<int32_t>(value);
    return true;
}

} // namespace

int runSession(const Arguments& arguments)
{
    std::string home, pluginPath = defaultPluginPath("stillset");
    int32_t project = -1;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (isHelp(option)) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (i + 1 >= arguments.size())
            return usageError("session: " + option + " needs a value (try session --help)");
        const std::string& value = arguments[++i];
        if (option == "--hxhome")
            home = value;
        else if (option == "--project") {
            if (!parseProject(value, project))
                return usageError("session: --project takes a number from 0, not '" + value + "'");
        } else if (option == "--plugin")
            pluginPath = value;
        else
            return usageError("session: unknown option '" + option + "' (try session --help)");
    }
    if (home.empty() || project < 0)
        return usageError("session: --hxhome and --project are required (try session --help)");

    std::string error;
    hxhost::setProjectNumber(project);
    if (!hxhost::installHome(home, &error) || !hxhost::openProject(&error))
        return usageError("session: " + error), 1;
    Plugin plugin;
    if (!plugin.load(pluginPath, error))
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
