// One photo as the slideshow tool would hold it: imported into a host project, with a photo
// entry as an import makes it, and the tool's rendering exports at hand.
#ifndef STILLSET_HOST_PHOTO_SCENE_H
#define STILLSET_HOST_PHOTO_SCENE_H

#include "host_options.h"
#include "options.h"
#include "plugin.h"
#include "run_folder.h"

#include "host/hxscenes.h"

#include <string>

class PhotoScene {
public:
    ~PhotoScene();
    // Installs a host (the given HXHOME or a temporary one), imports the photo and loads the tool.
    bool open(const std::string& photo, const Options& options, std::string& error);
    PhotoEntry& entry() { return *entry_; }
    OpImage* fullPicture() const;                   // the corrected picture, owned by the caller
    OpImage* field(int32_t selector) const;         // one finished field, owned by the caller
    // The frame woven from the two fields of the photo's clip.
    OpImage* frame() const;

private:
    Plugin stillset_;
    hxhost::PhotoRenderer renderer_;
    PhotoEntry* entry_ = nullptr;
    RunFolder temporaryHome_;
};

// The options shared by the commands that render a photo: the host's home, the plug-in and the format.
OptionTable photoOptions();

#endif
