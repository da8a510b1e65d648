// The slideshow tool run once on the open host project, as the host's user starts it: the plug-in
// loaded, its photo clips rendered by it, its meters on the terminal, and the scripted user playing
// what it was given.
#ifndef STILLSET_HOST_TOOL_RUN_H
#define STILLSET_HOST_TOOL_RUN_H

#include "plugin.h"

#include <cstdint>
#include <string>

struct ToolRun {
    int32_t result = -1;         // the tool's own result
    bool userPlayedAll = false;  // what the user could not play is named on standard error
};

// False with a one-line `error` when the plug-in cannot be loaded. `plugin` stays loaded after the
// run, so that the host can go on rendering the tool's clips with it.
bool runTool(Plugin& plugin, const std::string& pluginPath, uint32_t flags, ToolRun& run, std::string& error);

#endif
