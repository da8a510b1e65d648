#include "plugin.h"

#include "hxhost/storyboard.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

bool Plugin::load(const std::string& path, std::string& error)
{
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        error = dlerror();
        return false;
    }
    auto info = reinterpret_cast<GetOperatorInfoFn>(dlsym(handle_, "GetOperatorInfo"));
    if (!info) {
        error = path + ": no GetOperatorInfo export";
        return false;
    }
    description_ = info();
    for (const OperatorTag* tag = description_; tag && tag->tag != OPE_END; ++tag)
        if (tag->tag == OPE_ACTION)
            action_ = reinterpret_cast<OperatorActionFn>(tag->value);
    if (!action_) {
        error = path + ": the description names no action entry";
        return false;
    }
    return true;
}

void* Plugin::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

bool Plugin::registerPhotoRenderer() const
{
    hxhost::PhotoRenderer renderer;
    renderer.doPhoto = reinterpret_cast<hxhost::DoPhotoFn>(symbol("stillsetDoPhoto"));
    renderer.getFinalField = reinterpret_cast<hxhost::GetFinalFieldFn>(symbol("stillsetGetFinalField"));
    if (!renderer.doPhoto || !renderer.getFinalField)
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
