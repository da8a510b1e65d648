#include "host_options.h"

#include "hxhost/hxhost.h"

bool applyStandard(const Options& options, std::string& error)
{
    const std::string standard = options.value("--standard", "pal");
    if (standard != "pal" && standard != "hd1080") {
        error = "--standard takes pal or hd1080, not '" + standard + "'";
        return false;
    }
    hxhost::setStandard(standard == "pal" ? hxhost::Standard::Pal : hxhost::Standard::Hd1080);
    return true;
}

bool applyScreen(const Options& options, std::string& error)
{
    const std::string screen = options.value("--screen", "1920x1080");
    if (screen != "1920x1080" && screen != "1280x720") {
        error = "--screen takes 1920x1080 or 1280x720, not '" + screen + "'";
        return false;
    }
    if (screen == "1920x1080" ? hxhost::setScreen(1920, 1080) : hxhost::setScreen(1280, 720))
        return true;
    error = "the host cannot show a " + screen + " screen";
    return false;
}
