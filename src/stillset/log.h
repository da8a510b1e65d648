// Log entries of the slideshow plug-in: identified by source file and line, the text is a blank.
#ifndef STILLSET_LOG_H
#define STILLSET_LOG_H

#include "host/hxlog.h"

inline constexpr uint32_t kStillsetModule = 0x03780000;
inline constexpr const char* kStillsetSource = "src\\stillset";
inline constexpr const char* kGuiSource = "src\\gui";

#define STILLSET_LOG(level) loggerMessage((level), __LINE__, kStillsetSource, kStillsetModule, " ")
#define GUI_LOG(level) loggerMessage((level), __LINE__, kGuiSource, kStillsetModule, " ")

#endif
