#include "tool_run.h"

#include "interrupt.h"
#include "terminal_progress.h"

#include "hxhost/for_people.h"
#include "hxhost/log.h"
#include "hxhost/session_script.h"
#include "hxhost/user.h"

#include "host/hxreq.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// What the tool told its user, which a script or the default user answered unseen.
void printNotices(size_t from)
{
    const std::vector<hxhost::TextRequestSeen> seen = hxhost::textRequestsSeen();
    for (size_t i = from; i < seen.size(); ++i) {
        if (seen[i].style != UREQ_NOTICE)
            continue;
        std::string text = hxhost::utf8Of(seen[i].text);
        std::replace(text.begin(), text.end(), '\n', ' ');
        std::fprintf(stderr, "stillset-host: the tool's notice: %s\n", text.c_str());
    }
}

} // namespace

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
    const size_t requestsBefore = hxhost::textRequestsSeen().size();
    OperatorActionRecord record;
    std::memset(&record, 0, sizeof record);
    record.action = OP_ACTION_RUN;
    record.flags = flags;
    run.result = plugin.action()(&record);
    if (window)
        hxhost::setUser(user); // the window closes with its user

    printNotices(requestsBefore);
    for (const std::string& failure : user->failures())
        std::fprintf(stderr, "stillset-host: session script: %s\n", failure.c_str());
    if (user->actionsLeft() > 0)
        std::fprintf(stderr, "stillset-host: session script: the tool ended with %zu actions left unplayed\n",
                     user->actionsLeft());
    run.userPlayedAll = user->failures().empty() && user->actionsLeft() == 0;
    return true;
}
