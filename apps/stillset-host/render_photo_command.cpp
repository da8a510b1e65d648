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
    "\n";

bool parseCrop(const std::string& text, PhotoEntry& entry, std::string& error)
{
    std::istringstream in(text);
    long values[4];
    char comma;
    if (!(in >> values[0] >> comma >> values[1] >> comma >> values[2] >> comma >> values[3]) || !in.eof()) {
        error = "--crop takes X,Y,W,H, not '" + text + "'";
        return false;
    }
    for (long value : values)
        if (value < 0 || value > 32767) {
            error = "--crop values lie from 0 to 32767";
            return false;
        }
    entry.cropX = static_cast<uint16_t>(values[0]);
    entry.cropY = static_cast<uint16_t>(values[1]);
    entry.cropWidth = static_cast<uint16_t>(values[2]);
    entry.cropHeight = static_cast<uint16_t>(values[3]);
    return true;
}

} // namespace

const OptionTable& renderPhotoOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--output", "OUT.png", "where to write the picture").alsoNamed("-o"),
            choiceOption("--rotation", {"0", "90", "180", "270"}, "clockwise turn"),
            switchOption("--mirror", "mirror left to right"),
            textOption("--crop", "X,Y,W,H", "crop rectangle in pixels of the photo before it is turned"),
            wholeNumberOption("--brightness", "N", 0, 200, "0..200 (100 = unchanged)"),
            wholeNumberOption("--contrast", "N", 0, 200, "0..200 (100 = unchanged)"),
            wholeNumberOption("--saturation", "N", 0, 200, "0..200 (100 = unchanged)"),
            wholeNumberOption("--gamma", "N", -100, 100, "-100..100 (0 = unchanged)"),
            switchOption("--full", "write the corrected full-size picture instead of the frame"),
        },
        {photoOptions()});
    return table;
}

int runRenderPhoto(const Arguments& arguments)
{
    const std::string command = "render-photo";
    Options options(command, renderPhotoOptions());
    if (const int status = parseCommand(options, arguments, kHelp); status >= 0)
        return status;
    std::string error;
    if (options.positional().size() != 1 || !options.has("--output"))
        return usageError(command, "give one PHOTO and -o OUT.png" + tryHelp(command));
    const std::string output = options.value("--output");
    if (std::filesystem::path(output).extension() != ".png")
        return usageError(command, "-o takes a .png file, not '" + output + "'");
    if (!outputsSpareInputs({output}, options.positional(), error))
        return usageError(command, error);

    PhotoScene scene;
    if (!scene.open(options.positional()[0], options, error))
        return runFailure(command, error);
    PhotoEntry& entry = scene.entry();
    entry.rotation = static_cast<int16_t>(std::stoi(options.value("--rotation", "0")));
    entry.mirrored = options.has("--mirror") ? 1 : 0;
    entry.brightness = static_cast<int32_t>(options.wholeNumber("--brightness", 100));
    entry.contrast = static_cast<int32_t>(options.wholeNumber("--contrast", 100));
    entry.saturation = static_cast<int32_t>(options.wholeNumber("--saturation", 100));
    entry.gamma = static_cast<int32_t>(options.wholeNumber("--gamma", 0));
    if (options.has("--crop") && !parseCrop(options.value("--crop"), entry, error))
        return usageError(command, error);

    OpImage* picture = options.has("--full") ? scene.fullPicture() : scene.frame();
    if (!picture)
        return runFailure(command, "the photo could not be rendered");
    const bool written = hxhost::writeImagePng(picture, output, &error);
    const int width = picture->width, height = picture->height;
    opFreeImage(picture);
    if (!written)
        return runFailure(command, error);
    std::printf("wrote %s (%dx%d picture)\n", output.c_str(), width, height);
    return 0;
}
