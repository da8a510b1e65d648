// An operator plug-in library opened the way the host opens one: by its GetOperatorInfo export and
// the description tags it answers. The host's operators and the host program both open them so.
#ifndef HXHOST_PLUGIN_LIBRARY_H
#define HXHOST_PLUGIN_LIBRARY_H

#include "hxhost/api.h"

#include "host/hxop.h"

#include <cstdint>
#include <string>

namespace hxhost {

struct PluginLibrary {
    void* handle = nullptr;                   // owned: dlclose
    const OperatorTag* description = nullptr; // borrowed while the library stays open
    OperatorActionFn action = nullptr;        // OPE_ACTION
    uint8_t* record = nullptr;                // OPE_RECORD: the plug-in's operator record, or null
    uint32_t instanceSize = 0;                // OPE_INSTANCE_SIZE
};

// Opens the library at `path` and reads its description. False with a one-line reason, and nothing
// left open, when it cannot be loaded, has no GetOperatorInfo export or its description names no
// action entry.
HXHOST_API bool openPluginLibrary(const std::string& path, PluginLibrary& library, std::string* error = nullptr);

} // namespace hxhost

#endif
