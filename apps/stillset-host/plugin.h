// A plug-in loaded the way the host loads one: by its exports. Like the host, the program keeps a
// plug-in loaded until it ends: what the plug-in still holds (its photo cache) stays its own.
#ifndef STILLSET_HOST_PLUGIN_H
#define STILLSET_HOST_PLUGIN_H

#include "hxhost/plugin_library.h"
#include "hxhost/storyboard.h"

#include <string>

class Plugin {
public:
    // False with a one-line reason when the file is no operator plug-in.
    bool load(const std::string& path, std::string& error);
    const OperatorTag* description() const { return library_.description; }
    OperatorActionFn action() const { return library_.action; }
    void* symbol(const char* name) const;
    // The slideshow tool's rendering exports; false when the plug-in lacks one.
    bool photoRenderer(hxhost::PhotoRenderer& renderer) const;
    // Hands the host the plug-in's rendering exports for its photo clips; false when it has none.
    bool registerPhotoRenderer() const;

private:
    hxhost::PluginLibrary library_;
};

// The plug-in libraries beside the host library: "<dir of the program>/../lib/lib<name>.so".
std::string defaultPluginPath(const std::string& name);

#endif
