#include "tool_run.h"

#include "interrupt.h"
#include "terminal_progress.h"

#include "hxhost/hxhost.h"
#include "hxhost/session_script.h"

#include <cstdio>
#include <cstring>
#include <optional>

bool runTool(Plugin& plugin, const std::string& pluginPath, uint32_t flags, ToolRun& run, std::string& error,
             const hxhost::WindowOptions* window)
{
    if (!plugin.load(pluginPath, error))
        return false;
    plugin.registerPhotoRenderer();
    showMetersOnTerminal();
    const std::shared_ptr<hxhost::ScriptedUser> user = hxhost::scriptedUser();
    // At the window a signal ends the session as Close does: the photo list and settings are stored.
    std::optional<StopOnInterrupt> closeOnInterrupt;
    if (window) {
        closeOnInterrupt.emplace(hxhost::requestWindowClose);
        std::shared_ptr<hxhost::User> person = hxhost::openWindowUser(*window, &error);
        if (!person)
            return false;
        hxhost::setUser(person);
    }

    hxhost::clearLog();
    OperatorActionRecord record;
    std::memset(&record, 0, sizeof record);
    record.action = OP_ACTION_RUN;
    record.flags = flags;
    run.result = plugin.action()(&record);
    if (window)
        hxhost::setUser(user); // the window closes with its user

    for (const std::string& failure : user->failures())
        std::fprintf(stderr, "stillset-host: session script: %s\n", failure.c_str());
    if (user->actionsLeft() > 0)
        std::fprintf(stderr, "stillset-host: session script: the tool ended with %zu actions left unplayed\n",
                     user->actionsLeft());
    run.userPlayedAll = user->failures().empty() && user->actionsLeft() == 0;
    return true;
}
