#include "runtime/install_paths.h"

#include "runtime/host_state.h"

#include <dlfcn.h>

namespace hx {

std::string libraryDirectory()
{
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&libraryDirectory), &self) || !self.dli_fname)
        return {};
    const std::string file = self.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

std::string resourceRoot()
{
    const std::string& chosen = state().resourceRoot;
    if (!chosen.empty())
        return chosen;
    static const std::string installed = libraryDirectory() + "/../share/stillset";
    return installed;
}

} // namespace hx
