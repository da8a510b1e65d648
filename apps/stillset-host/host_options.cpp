#include "host_options.h"

#include "commands.h"

#include "hxhost/gui.h"
#include "hxhost/video_format.h"

#include <cstdio>

OptionTable formatOptions(const std::string& fallback)
{
    std::string formats = "the video format (default " + fallback + "):";
    for (const hxhost::VideoFormat& format : hxhost::videoFormats()) {
        char line[160];
        std::snprintf(line, sizeof line, "\n  %-9s %4dx%-4d %-11s %5s fps%s", format.name.c_str(), format.width, format.height,
                      format.progressive ? "progressive" : "interlaced", hxhost::rateText(format).c_str(),
                      format.pixelAspect == 1000 ? "" : ", a 4:3 picture");
        formats += line;
    }
    return {
        textOption("--format", "NAME", formats),
        choiceOption("--standard", {"pal", "hd1080"}, "the older name of pal and 1080i (--format names every format)"),
        textOption("--fps", "RATE", "a progressive format's rate: 24, 25, 30, 50, 60, 23.976, 29.97, 59.94"),
    };
}

bool chooseFormat(const Options& options, const hxhost::VideoFormat& fallback, hxhost::VideoFormat& out,
                  std::string& error)
{
    if (options.has("--format") && options.has("--standard")) {
        error = "--format and --standard name the same thing; give one";
        return false;
    }
    const std::string name = options.value("--format", options.value("--standard", fallback.name));
    // The fallback keeps its own rate unless --fps says otherwise; another format starts at its own.
    std::string rate = options.value("--fps");
    if (!options.has("--fps") && name == fallback.name && fallback.progressive)
        rate = hxhost::rateText(fallback);
    if (!hxhost::findVideoFormat(name, rate, out, &error)) {
        error = (options.has("--fps") ? "--fps: " : "--format: ") + error;
        return false;
    }
    return true;
}

bool applyFormat(const Options& options, const std::string& fallbackName, std::string& error)
{
    hxhost::VideoFormat fallback, chosen;
    if (!hxhost::findVideoFormat(fallbackName, "", fallback, &error) || !chooseFormat(options, fallback, chosen, error))
        return false;
    hxhost::setVideoFormat(chosen);
    return true;
}

bool applyProjectFormat(const Options& options, const std::string& command, std::string& error)
{
    hxhost::VideoFormat kept;
    const bool hasKept = hxhost::keptVideoFormat(kept);
    hxhost::VideoFormat chosen;
    if (!chooseFormat(options, hasKept ? kept : hxhost::VideoFormat{}, chosen, error))
        return false;
    hxhost::setVideoFormat(chosen);
    if (hasKept && !(chosen == kept)) {
        std::string note = "the project was built at " + hxhost::describeVideoFormat(kept) + "; running it at " +
                           hxhost::describeVideoFormat(chosen) + " (the photos keep their look";
        if (chosen.framesPerSecond != kept.framesPerSecond || chosen.fractionalRate != kept.fractionalRate)
            note += "; its lengths stay in frames, so the show runs " + hxhost::rateText(kept) + "/" +
                    hxhost::rateText(chosen) + " as long";
        tell(command, note + ")");
    }
    return true;
}

OptionTable encoderOptions()
{
    std::string defaults = hxhost::encoderDefaults("  ");
    defaults.pop_back();
    return {
        textOption("--codec", "NAME",
                   "h264 (.mp4, .mkv), hevc (.mp4, .mkv), av1 (.mp4, .mkv, .webm) or\n"
                   "vp9 (.webm, .mkv); by default .mp4 is h264, .webm vp9, .mkv lossless FFV1"),
        wholeNumberOption("--quality", "N", 0, 63, "the encoder's constant quality, lower is better and larger")
            .alsoNamed("--crf"),
        textOption("--preset", "P", "the encoder's speed preset; the defaults:\n" + defaults),
    };
}

hxhost::EncoderChoice readEncoder(const Options& options)
{
    hxhost::EncoderChoice choice;
    choice.codec = options.value("--codec");
    choice.preset = options.value("--preset");
    choice.quality = static_cast<int32_t>(options.wholeNumber("--quality", -1));
    return choice;
}

OptionEntry threadsOption()
{
    return wholeNumberOption("--threads", "N", 0, 64,
                             "threads that render (two share each picture; more render frames side\n"
                             "by side), and the encoder's threads (default: one a core)");
}

OptionEntry screenOption()
{
    return choiceOption("--screen", {"1920x1080", "1280x720"}, "the host's screen (default 1920x1080)");
}

bool applyScreen(const Options& options, std::string& error)
{
    const std::string screen = options.value("--screen", "1920x1080");
    if (screen == "1920x1080" ? hxhost::setScreen(1920, 1080) : hxhost::setScreen(1280, 720))
        return true;
    error = "the host cannot show a " + screen + " screen";
    return false;
}
