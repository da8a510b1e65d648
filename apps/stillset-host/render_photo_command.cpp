// stillset-host render-photo: one photo rendered as the slideshow tool renders its clip.
#include "commands.h"
#include "host_options.h"
#include "options.h"
#include "output_check.h"
#include "photo_scene.h"

#include "hxhost/for_people.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

const char kHelp[] =
    "usage: stillset-host render-photo PHOTO -o OUT.png [options]\n"
    "\n"
    "Renders a JPEG, PNG, HEIC, WebP or TIFF photo as the slideshow tool renders its clip: fitted into\n"
    "the video frame, padded, turned, mirrored and toned as asked. The two fields are woven into the\n"
    "frame, which is written as an RGB PNG at its display aspect.\n"
    "\n"
    "  -o, --output OUT.png       where to write the picture\n"
    "  --rotation 0|90|180|270    clockwise turn\n"
    "  --mirror                   mirror left to right\n"
    "  --crop X,Y,W,H             crop rectangle in pixels of the photo before it is turned\n"
    "  --brightness N             0..200 (100 = unchanged)\n"
    "  --contrast N               0..200 (100 = unchanged)\n"
    "  --saturation N             0..200 (100 = unchanged)\n"
    "  --gamma N                  -100..100 (0 = unchanged)\n"
    "  --full                     write the corrected full-size picture instead of the frame\n"
    "  --hxhome DIR               use this installation (default: a temporary one)\n";

bool parseCrop(const std::string& text, PhotoEntry& entry, std::string& error)
{
    std::istringstream in(text);
    long values[4];
    char comma;
    if (!(in >> values[0] >> comma >> values[1] >> comma >> values[2] >> comma >> values[3]) || !in.eof()) {
        error = "render-photo: --crop takes X,Y,W,H, not '" + text + "'";
        return false;
    }
    for (long value : values)
        if (value < 0 || value > 32767) {
            error = "render-photo: --crop values lie from 0 to 32767";
            return false;
        }
    entry.cropX = static_cast<uint16_t>(values[0]);
    entry.cropY = static_cast<uint16_t>(values[1]);
    entry.cropWidth = static_cast<uint16_t>(values[2]);
    entry.cropHeight = static_cast<uint16_t>(values[3]);
    return true;
}

} // namespace

int runRenderPhoto(const Arguments& arguments)
{
    std::set<std::string> valued = kPhotoOptions;
    valued.insert({"--output", "--rotation", "--crop", "--brightness", "--contrast", "--saturation", "--gamma"});
    Options options("render-photo", valued, {"--mirror", "--full"});
    std::string error;
    long rotation = 0, brightness = 100, contrast = 100, saturation = 100, gamma = 0;
    if (!options.parse(arguments, error) || !options.integer("--rotation", 0, 270, rotation, error) ||
        !options.integer("--brightness", 0, 200, brightness, error) ||
        !options.integer("--contrast", 0, 200, contrast, error) ||
        !options.integer("--saturation", 0, 200, saturation, error) || !options.integer("--gamma", -100, 100, gamma, error))
        return usageError(error);
    if (options.helpAsked()) {
        std::fputs((kHelp + formatHelp("pal")).c_str(), stdout);
        return 0;
    }
    if (options.positional().size() != 1 || !options.has("--output"))
        return usageError("render-photo: give one PHOTO and -o OUT.png (try render-photo --help)");
    if (rotation % 90 != 0)
        return usageError("render-photo: --rotation takes 0, 90, 180 or 270");
    const std::string output = options.value("--output");
    if (std::filesystem::path(output).extension() != ".png")
        return usageError("render-photo: -o takes a .png file, not '" + output + "'");
    if (!outputsSpareInputs({output}, options.positional(), error))
        return usageError("render-photo: " + error);

    PhotoScene scene;
    if (!scene.open(options.positional()[0], options, error))
        return runFailure("render-photo: " + error);
    PhotoEntry& entry = scene.entry();
    entry.rotation = static_cast<int16_t>(rotation);
    entry.mirrored = options.has("--mirror") ? 1 : 0;
    entry.brightness = static_cast<int32_t>(brightness);
    entry.contrast = static_cast<int32_t>(contrast);
    entry.saturation = static_cast<int32_t>(saturation);
    entry.gamma = static_cast<int32_t>(gamma);
    if (options.has("--crop") && !parseCrop(options.value("--crop"), entry, error))
        return usageError(error);

    OpImage* picture = options.has("--full") ? scene.fullPicture() : scene.frame();
    if (!picture)
        return runFailure("render-photo: the photo could not be rendered");
    const bool written = hxhost::writeImagePng(picture, output, &error);
    const int width = picture->width, height = picture->height;
    opFreeImage(picture);
    if (!written)
        return runFailure("render-photo: " + error);
    std::printf("wrote %s (%dx%d picture)\n", output.c_str(), width, height);
    return 0;
}
