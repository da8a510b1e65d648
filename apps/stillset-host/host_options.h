// Options that set the host up before a plug-in runs: the video standard and the screen.
#ifndef STILLSET_HOST_HOST_OPTIONS_H
#define STILLSET_HOST_HOST_OPTIONS_H

#include "options.h"

#include <string>

// --standard pal|hd1080 (default pal); false with a message for anything else.
bool applyStandard(const Options& options, std::string& error);
// --screen 1920x1080|1280x720 (default 1920x1080); false with a message for anything else.
bool applyScreen(const Options& options, std::string& error);

#endif
