#include "host_options.h"

#include "hxhost/gui.h"
#include "hxhost/video_format.h"

#include <cstdio>

std::string formatHelp(const std::string& fallback)
{
    std::string text = "  --format NAME             the video format (default " + fallback + "):\n";
    for (const hxhost::VideoFormat& format : hxhost::videoFormats()) {
        char line[160];
        std::snprintf(line, sizeof line, "      %-9s %4dx%-4d %-11s %5s fps%s\n", format.name.c_str(), format.width, format.height,
                      format.progressive ? "progressive" : "interlaced", hxhost::rateText(format).c_str(),
                      format.pixelAspect == 1000 ? "" : ", a 4:3 picture");
        text += line;
    }
    return text + "                            --standard pal|hd1080 is the older name of pal and 1080i\n"
                  "  --fps RATE                a progressive format's rate: 24, 25, 30, 50, 60, 23.976, 29.97, 59.94\n";
}

bool chooseFormat(const Options& options, const hxhost::VideoFormat& fallback, hxhost::VideoFormat& out,
                  std::string& error)
{
    if (options.has("--format") && options.has("--standard")) {
        error = "--format and --standard name the same thing; give one";
        return false;
    }
    const std::string standard = options.value("--standard");
    if (options.has("--standard") && standard != "pal" && standard != "hd1080") {
        error = "--standard takes pal or hd1080 (--format names every format), not '" + standard + "'";
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
        std::string note = command + ": the project was built at " + hxhost::describeVideoFormat(kept) + "; running it at " +
                           hxhost::describeVideoFormat(chosen) + " (the photos keep their look";
        if (chosen.framesPerSecond != kept.framesPerSecond || chosen.fractionalRate != kept.fractionalRate)
            note += "; its lengths stay in frames, so the show runs " + hxhost::rateText(kept) + "/" +
                    hxhost::rateText(chosen) + " as long";
        std::fprintf(stderr, "%s)\n", note.c_str());
    }
    return true;
}

std::string encoderHelp()
{
    return "  --codec NAME              h264 (.mp4, .mkv), hevc (.mp4, .mkv), av1 (.mp4, .mkv, .webm) or\n"
           "                            vp9 (.webm, .mkv); by default .mp4 is h264, .webm vp9, .mkv lossless FFV1\n"
           "  --quality N, --crf N      the encoder's constant quality, lower is better and larger\n"
           "  --preset P                the encoder's speed preset; the defaults:\n" +
           hxhost::encoderDefaults("                              ");
}

bool readEncoder(const Options& options, hxhost::EncoderChoice& out, std::string& error)
{
    if (options.has("--quality") && options.has("--crf")) {
        error = "--quality and --crf name the same thing; give one";
        return false;
    }
    long quality = -1;
    const std::string name = options.has("--crf") ? "--crf" : "--quality";
    if (options.has(name) && !options.integer(name, 0, 63, quality, error))
        return false;
    out.codec = options.value("--codec");
    out.preset = options.value("--preset");
    out.quality = static_cast<int32_t>(quality);
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
