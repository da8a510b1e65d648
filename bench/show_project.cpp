// Sets up the slideshow benchmark's project: a 12-megapixel JPEG, and the tool's stored choices
// of 5 seconds a photo, 1-second dissolves and a zoom and a pan in turn, as a person would choose them.
// Usage: show_project DIR   (writes DIR/photo.jpg and DIR/hxhome/programs/stillset/project1/slset.dat)
#include "bench_pictures.h"
#include "support/tool_settings.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: show_project DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    writeDetailedJpeg(dir + "/photo.jpg", 4000, 3000);
    ToolChoices choices;
    choices.durationCode = 4;
    choices.transitions = {"transition/dissolve"};
    choices.transitionLengthCode = 2;
    choices.panModes = {0, 1};
    writeToolSettings(dir + "/hxhome/programs/stillset/project1", choices);
    return 0;
}
