#include "photo_scene.h"

#include "host_options.h"

#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"

#include "host/hxmotion.h"
#include "host/hxtools.h"

#include <cstdlib>

OptionTable photoOptions()
{
    return joinTables({textOption("--hxhome", "DIR", "use this installation (default: a temporary one)"),
                       textOption("--plugin", "PATH", "the slideshow plug-in (default: libstillset.so beside the host library)")},
                      {formatOptions("pal")});
}

PhotoScene::~PhotoScene()
{
    if (entry_) {
        nslDeleteAVRecord(entry_->source);
        std::free(entry_);
    }
}

bool PhotoScene::open(const std::string& photo, const Options& options, std::string& error)
{
    if (!applyFormat(options, "pal", error))
        return false;
    std::string home = options.value("--hxhome");
    if (home.empty()) {
        if (!temporaryHome_.make("stillset-host", error))
            return false;
        home = temporaryHome_.path();
    }
    if (!hxhost::installHome(home, &error) || !hxhost::lockProject(&error) || !hxhost::openProject(&error))
        return false;
    const uint32_t record = hxhost::importStill(photo, &error);
    if (!record)
        return false;
    if (!stillset_.load(options.value("--plugin", defaultPluginPath("stillset")), error))
        return false;
    if (!stillset_.photoRenderer(renderer_)) {
        error = "the plug-in has no rendering exports";
        return false;
    }
    OpImage* still = nslGetStillset(record);
    if (!still) {
        error = photo + ": the host keeps no picture of it";
        return false;
    }
    // The values an import gives a new photo.
    entry_ = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
    entry_->id = vxtlGetUniqueID();
    entry_->source = nslCopyAVRecord(record, 0);
    entry_->cropWidth = static_cast<uint16_t>(still->width);
    entry_->cropHeight = static_cast<uint16_t>(still->height);
    entry_->brightness = entry_->contrast = entry_->saturation = 100;
    entry_->included = 1;
    entry_->duration = 5 * static_cast<int32_t>(cmGetFramesPerSecond(cmOpen(0, 0), 0));
    opFreeImage(still);
    return true;
}

OpImage* PhotoScene::fullPicture() const
{
    return renderer_.doPhoto(entry_, nslGetStillset(entry_->source));
}

OpImage* PhotoScene::field(int32_t selector) const
{
    return renderer_.getFinalField(entry_, selector);
}

OpImage* PhotoScene::frame() const
{
    // Selector 1 is the first field in time; the bottom one when the host plays bottom first.
    OpImage* first = field(1);
    OpImage* second = field(0);
    OpImage* frame = nullptr;
    if (first && second)
        frame = cmGetFirstFieldStatus() ? opMakeFrame(second, first, 0, 0) : opMakeFrame(first, second, 0, 0);
    opFreeImage(first);
    opFreeImage(second);
    // The frame is shown with the output's pixel shape, which the host's output probe tells.
    if (OpImage* probe = frame ? opAllocImage(0, 0, OP_FORMAT_YUVA, OP_ALLOC_NO_PIXELS) : nullptr) {
        frame->aspect = probe->aspect;
        opFreeImage(probe);
    }
    return frame;
}
