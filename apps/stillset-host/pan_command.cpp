// stillset-host pan: the pan-and-zoom operator played over a photo scene, written as Y4M video.
#include "commands.h"
#include "host_options.h"
#include "interrupt.h"
#include "options.h"
#include "output_check.h"
#include "photo_scene.h"

#include "hxhost/effect_runner.h"
#include "hxhost/setup.h"
#include "hxhost/video_file.h"
#include "hxhost/video_format.h"

#include "host/hxmain.h"
#include "host/hxmotion.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace {

const char kHelp[] =
    "usage: stillset-host pan PHOTO -o OUT.y4m --preset 0..4 [--seconds S] [--format NAME] [--fps RATE]\n"
    "\n"
    "Plays the pan-and-zoom operator with one of the five pan presets over a photo scene prepared as\n"
    "the slideshow tool prepares it, and writes the video as 'export' writes it, at the format's size,\n"
    "scan, rate and sample aspect, with silence for sound. The file takes its name only when complete;\n"
    "Ctrl-C stops and leaves nothing behind.\n"
    "\n";

// A preset file: four header bytes, then the operator's preference block.
bool readPreset(long preset, std::vector<uint8_t>& block, std::string& error)
{
    const std::string path = hxhost::home() + "/programs/stillset/prefs/sl" + std::to_string(preset) + ".prf";
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 4 + block.size()) {
        error = "the preset " + path + " is missing or too short";
        return false;
    }
    std::copy(bytes.begin() + 4, bytes.begin() + 4 + static_cast<long>(block.size()), block.begin());
    return true;
}

} // namespace

const OptionTable& panOptions()
{
    static const OptionTable table = joinTables(
        {
            textOption("--output", "OUT", ".y4m (YUV4MPEG2 4:2:0, with OUT's .wav), .mp4, .webm or .mkv").alsoNamed("-o"),
            wholeNumberOption("--preset", "N", 0, 4, "0 zoom in; 1..4 pans from the four corners"),
            numberOption("--seconds", "S", 0.001, 3600, "length of the scene (default 5)"),
        },
        {photoOptions()});
    return table;
}

int runPan(const Arguments& arguments)
{
    const std::string command = "pan";
    Options options(command, panOptions());
    if (const int status = parseCommand(options, arguments, kHelp); status >= 0)
        return status;
    std::string error;
    if (options.positional().size() != 1 || !options.has("--output") || !options.has("--preset"))
        return usageError(command, "give one PHOTO, -o OUT.y4m and --preset 0..4" + tryHelp(command));
    const long preset = options.wholeNumber("--preset", 0);
    const double seconds = options.number("--seconds", 5);
    const std::string output = options.value("--output");
    if (!isVideoOutputName(output))
        return usageError(command, "-o takes a .y4m, .mp4, .webm or .mkv file, not '" + output + "'");
    if (!outputsSpareInputs(videoOutputFiles(output), options.positional(), error))
        return usageError(command, error);

    PhotoScene scene;
    if (!scene.open(options.positional()[0], options, error))
        return runFailure(command, error);
    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    if (!pan)
        return runFailure(command, "the host cannot load the pan operator");
    std::vector<uint8_t> prefs(opGetPrefsSize(pan));
    const bool prefsSet = readPreset(preset, prefs, error) && opSetPrefs(pan, prefs.data(), static_cast<uint32_t>(prefs.size())) == 0;
    if (!prefsSet) {
        mainUnloadOperator(pan);
        return runFailure(command, error.empty() ? "the preset does not fit the operator" : error);
    }

    const hxhost::VideoFileFormat format = hxhost::VideoFileFormat::ofVideoFormat();
    const auto frames = static_cast<uint32_t>(std::max(1L, std::lround(seconds * format.framesPerSecond)));
    StopOnInterrupt stopCleanly;
    std::unique_ptr<hxhost::VideoFile> video = hxhost::VideoFile::create(output, format, &error);
    OpImage* firstField = nullptr;
    int64_t written = 0;
    std::vector<float> silence;
    // Fields come in time order; each second one completes a frame, which gets its share of silence.
    auto addField = [&](OpImage* field, uint32_t) {
        if (!firstField) {
            firstField = field;
            return true;
        }
        const int64_t samples =
            hxhost::audioSampleOfFrame(written + 1, format.framesPerSecond, format.fractionalRate) -
            hxhost::audioSampleOfFrame(written, format.framesPerSecond, format.fractionalRate);
        silence.assign(2 * static_cast<size_t>(samples), 0.0f);
        const bool added = !interrupted() && video->addFrame(firstField, field, &error) &&
                           video->addAudio(silence.data(), silence.size() / 2, &error);
        opFreeImage(std::exchange(firstField, nullptr));
        opFreeImage(field);
        written += added ? 1 : 0;
        return added;
    };
    const bool ok = video && hxhost::runEffect(
                                 pan, 2 * frames - 1, 0,
                                 [&](uint32_t flags, uint32_t index) {
                                     // The full picture for the operator's one fetch; the clip's fields otherwise.
                                     return (flags & OP_FIELD_FULL_PICTURE) ? scene.fullPicture()
                                                                            : scene.field(index % 2 == 0 ? 1 : 0);
                                 },
                                 addField, &error);
    opFreeImage(firstField);
    mainUnloadOperator(pan);
    if (!ok || !video->finish(&error))
        return runFailure(command, interrupted() ? "interrupted; nothing was written" : error);
    std::printf("wrote %s: %lld frames of %dx%d at %s fps, preset %ld\n", output.c_str(), static_cast<long long>(written),
                format.width, format.height, hxhost::rateText(hxhost::videoFormat()).c_str(), preset);
    return 0;
}
