#include "sound_options.h"

#include "hxhost/audio.h"

#include <cstdio>

namespace {

constexpr double kQuietestTarget = -50, kLoudestTarget = -5;
constexpr double kLongestFade = 30;

std::string withDefault(const char* format, double value)
{
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

OptionTable soundOptions()
{
    return {
        textOption("--music", "FILE",
                   "a music bed under the whole show, lowered while a jingle sounds;\n"
                   "any sound file: AAC/M4A, Opus, Ogg Vorbis, MP3, FLAC, WAV, WMA ..."),
        textOption("--loudness", "LUFS|off",
                   withDefault("the show's integrated loudness (default %g LUFS, as streaming\n"
                               "services and phones play it); 'off' keeps the mix's own. Either\n"
                               "way its true peak stays at or under -1 dBTP in the file",
                               hxhost::kDefaultLoudness)),
        numberOption("--fade", "SECONDS", 0, kLongestFade,
                     withDefault("the picture fades from and to black and the sound in and out at\n"
                                 "the show's start and end, within its length (default %g; 0 for none)",
                                 hxhost::kDefaultFadeSeconds)),
    };
}

bool readSound(const Options& options, hxhost::SoundSettings& out, std::string& error)
{
    out.music = options.value("--music");
    out.fadeSeconds = options.number("--fade", out.fadeSeconds);
    if (!options.has("--loudness"))
        return true;
    const std::string text = options.value("--loudness");
    double lufs = 0;
    if (text == "off")
        out.loudness.reset();
    else if (parseDecimal(text, lufs) && lufs >= kQuietestTarget && lufs <= kLoudestTarget)
        out.loudness = lufs;
    else {
        char range[120];
        std::snprintf(range, sizeof range, "--loudness takes 'off' or LUFS from %g to %g, not '", kQuietestTarget,
                      kLoudestTarget);
        error = range + text + "'";
        return false;
    }
    return true;
}
