#include "hxhost/plugin_library.h"

#include <dlfcn.h>

namespace {

bool refuse(void* handle, std::string* error, const std::string& reason)
{
    if (handle)
        dlclose(handle);
    if (error)
        *error = reason;
    return false;
}

} // namespace

namespace hxhost {

bool openPluginLibrary(const std::string& path, PluginLibrary& library, std::string* error)
{
    library = PluginLibrary{};
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return refuse(nullptr, error, why ? why : path + ": cannot be loaded");
    }
    auto info = reinterpret_cast<GetOperatorInfoFn>(dlsym(handle, "GetOperatorInfo"));
    if (!info)
        return refuse(handle, error, path + ": no GetOperatorInfo export");
    PluginLibrary opened;
    opened.handle = handle;
    opened.description = info();
    for (const OperatorTag* tag = opened.description; tag && tag->tag != OPE_END; ++tag) {
        if (tag->tag == OPE_ACTION)
            opened.action = reinterpret_cast<OperatorActionFn>(tag->value);
        else if (tag->tag == OPE_RECORD)
            opened.record = reinterpret_cast<uint8_t*>(tag->value);
        else if (tag->tag == OPE_INSTANCE_SIZE)
            opened.instanceSize = static_cast<uint32_t>(tag->value);
    }
    if (!opened.action)
        return refuse(handle, error, path + ": the description names no action entry");
    library = opened;
    return true;
}

} // namespace hxhost
