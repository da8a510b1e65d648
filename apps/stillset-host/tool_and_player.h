// The tool at the desktop window and, after each "Create slideshow", the player on the show it made:
// back to the tool as often as the person asks, or the file written from the player's window.
#ifndef STILLSET_HOST_TOOL_AND_PLAYER_H
#define STILLSET_HOST_TOOL_AND_PLAYER_H

#include "tool_run.h"

#include "hxhost/export.h"
#include "hxhost/player.h"

#include <optional>

struct WindowWork {
    ToolRun run;                            // the tool's last run
    std::optional<hxhost::PlayResult> played; // the player's last round, when the tool created a show
};

// `write`: what the player's "Write the file" makes; none offers no writing. False with a one-line
// `error` when the tool or the player cannot run, or writing failed.
bool editAndPlay(Plugin& plugin, const std::string& pluginPath, uint32_t flags, const hxhost::WindowOptions& window,
                 const std::optional<hxhost::ExportSettings>& write, WindowWork& work, std::string& error);

#endif
