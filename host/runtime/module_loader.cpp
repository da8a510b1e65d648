#include "runtime/module_loader.h"

#include "runtime/install_paths.h"

#include <dlfcn.h>

namespace hx {

const void* findModuleTable(const char* library, const char* table, std::string& error)
{
    const std::string directory = libraryDirectory();
    if (directory.empty()) {
        error = "cannot locate the host library";
        return nullptr;
    }
    // Local: the module's own libraries stay out of the way of the plug-ins' symbols.
    void* module = dlopen((directory + "/" + library).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        error = why ? why : "cannot open " + directory + "/" + library;
        return nullptr;
    }
    const void* found = dlsym(module, table);
    if (!found) {
        error = directory + "/" + library + " has no " + table;
        dlclose(module);
    }
    return found;
}

} // namespace hx
