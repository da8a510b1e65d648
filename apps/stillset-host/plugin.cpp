#include "plugin.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

bool Plugin::load(const std::string& path, std::string& error)
{
    return hxhost::openPluginLibrary(path, library_, &error);
}

void* Plugin::symbol(const char* name) const
{
    return library_.handle ? dlsym(library_.handle, name) : nullptr;
}

bool Plugin::photoRenderer(hxhost::PhotoRenderer& renderer) const
{
    renderer.doPhoto = reinterpret_cast<StillsetDoPhotoFn>(symbol("stillsetDoPhoto"));
    renderer.getFinalField = reinterpret_cast<StillsetGetFinalFieldFn>(symbol("stillsetGetFinalField"));
    return renderer.doPhoto && renderer.getFinalField;
}

bool Plugin::registerPhotoRenderer() const
{
    hxhost::PhotoRenderer renderer;
    if (!photoRenderer(renderer))
        return false;
    hxhost::setPhotoRenderer(renderer);
    return true;
}

std::string defaultPluginPath(const std::string& name)
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string directory = ".";
    if (n > 0) {
        self[n] = '\0';
        directory = self;
        directory = directory.substr(0, directory.rfind('/'));
    }
    return directory + "/../lib/lib" + name + ".so";
}
