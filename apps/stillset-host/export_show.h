// Exporting the active storyboard as a command does: a progress bar on a terminal, Ctrl-C stopping
// cleanly, a one-line error; the command's exit status.
#ifndef STILLSET_HOST_EXPORT_SHOW_H
#define STILLSET_HOST_EXPORT_SHOW_H

#include "hxhost/export.h"

#include <string>

int exportShow(const std::string& command, hxhost::ExportSettings settings);

#endif
