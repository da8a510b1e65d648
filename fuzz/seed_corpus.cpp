// Writes the fuzz targets' seed corpora into DIR/<target>/, each file made by the same writers the
// tests use: the slideshow tool's settings writer, the host's photo list store and test clips, and
// the tests' picture writers.
#include "stillset/operator_list_node.h"
#include "stillset/session.h"
#include "stillset/settings.h"

#include "support/heif_webp_tiff_files.h"
#include "support/picture_files.h"

#include "host/hxscenes.h"
#include "host/hxtext.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/video_format.h"
#include "scenes/project_format.h"
#include "scenes/storyboard.h"
#include "video/test_clips.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

OperatorEntry* operatorEntry(const char* name, uint32_t variant, const std::string& prefs)
{
    auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
    entry->name = strdup(name);
    entry->variant = variant;
    entry->prefsSize = static_cast<uint32_t>(prefs.size());
    entry->prefs = std::malloc(prefs.size());
    std::memcpy(entry->prefs, prefs.data(), prefs.size());
    return entry;
}

// The defaults, and a project with two transitions, an effect and a jingle.
void settingsSeeds(const fs::path& to, const fs::path& scratch)
{
    for (ListHead* list : {&session.photoList, &session.trashList, &session.transitionList, &session.effectList})
        ListInit(list);
    restoreDefaultSettings();
    session.settings.replaceStoryboard = 1;
    writeSettings(scratch.c_str());
    fs::copy_file(scratch / "slset.dat", to / "defaults", fs::copy_options::overwrite_existing);

    ListAppend(&session.transitionList, operatorEntry("transition/crossfade", 0, std::string(8, '\x01')));
    ListAppend(&session.transitionList, operatorEntry("transition/wipe", 0, std::string("\x02\0\0\0\x28\0\0\0", 8)));
    ListAppend(&session.effectList, operatorEntry("longterm/stillsetpan.opw", 3, std::string(16, '\x03')));
    session.settings.transitionsEnabled = 1;
    session.settings.effectsEnabled = 1;
    session.settings.jingleFile = strdup("/music/theme.ogg");
    static const hxchar jingle[] = {'T', 'h', 'e', 'm', 'e', 0};
    session.settings.jingleName = static_cast<hxchar*>(std::malloc(sizeof jingle));
    std::memcpy(session.settings.jingleName, jingle, sizeof jingle);
    writeSettings(scratch.c_str());
    fs::copy_file(scratch / "slset.dat", to / "operators", fs::copy_options::overwrite_existing);
    freeOperatorLists();
    restoreDefaultSettings();
}

// An empty list, and three edited photos of the scene bin.
void photoListSeeds(const fs::path& to, const fs::path& scratch)
{
    ListHead list;
    ListInit(&list);
    nslWriteStillsetProject(scratch.c_str(), &list, 0);
    fs::copy_file(hxhost::photoListPath(scratch), to / "empty", fs::copy_options::overwrite_existing);
    uint32_t id = 1;
    for (const char16_t* name : {u"Beach", u"Lake", u"Hills"}) {
        auto* entry = static_cast<PhotoEntry*>(std::calloc(1, sizeof(PhotoEntry)));
        entry->id = id++;
        entry->source = hxhost::addSceneBinItem(hxhost::ItemKind::Still, name, "media/none.jpg");
        entry->rotation = 90;
        entry->cropWidth = 640;
        entry->cropHeight = 480;
        entry->brightness = entry->contrast = entry->saturation = 100;
        entry->included = 1;
        entry->duration = 100;
        ListAppend(&list, entry);
    }
    nslWriteStillsetProject(scratch.c_str(), &list, 0);
    fs::copy_file(hxhost::photoListPath(scratch), to / "three", fs::copy_options::overwrite_existing);
    while (auto* entry = static_cast<PhotoEntry*>(ListFirst(&list))) {
        ListRemove(&list, entry);
        std::free(entry);
    }
}

// The bin the photo list seeds filled, and one of the older form, without a mark.
void sceneBinSeeds(const fs::path& to, const fs::path& scratch)
{
    fs::copy_file(scratch / "home/projects/project0/scenebin.txt", to / "three", fs::copy_options::overwrite_existing);
    std::ofstream(to / "older") << "scenebin 1\n1\tstill\t-1\tmedia/a\\tb.jpg\tBeach\n2\tclip\t4\tmedia/c.y4m\t\n"
                                   "3\tphoto\t-1\tclips/photo1-1.hxc\tBeach\n";
}

void sessionScriptSeeds(const fs::path& to)
{
    fs::copy_file(fs::path(STILLSET_SOURCE_DIR) / "resources/demo/nature.session", to / "nature",
                  fs::copy_options::overwrite_existing);
    writeBytes(to / "every_action",
               "# every kind of line\n"
               "press \"Close\"\npress help:79 in main\npress key:0xE002\nchoose \"Duration\" 3\n"
               "slide \"Brightness\" 120\ndrag \"Brightness\" to 150\ncheck \"Delete the existing scenes first\" on\n"
               "toggle checkbox:1\nset \"Direction\" \"Right to left\"\nset \"Softness\" 40\nselect grid 4\n"
               "double-click list 2\nstep grid +1\ndrag grid 5 to 2\ndrag grid 0 onto help:79\nkey p\nkey 0x40000065\n"
               "close\nclose in main\nquit\nscreenshot shots/main.png in \"Edit photo\"\n"
               "answer yes\nstop-meter 3\ncrop 12 6 100 50\ncrop keep screenshot shots/crop.png\n"
               "pick-scenes all\npick-scenes 3 5 \"Beach \\\"big\\\"\"\npick-operators crossfade \"wipe left\"\n"
               "pick-file /music/song.mp3 \"Song\" orientation 1\npick-file cancel\npress #12 in \"Settings\"\n"
               "press ok\npress cancel in \"Transitions\"\nselect popup:1 2\n");
}

void y4mSeeds(const fs::path& to)
{
    writeBytes(to / "bars444", hx::testClipBytes(8, 6, 2, hxhost::TestPattern::ColourBars));
    writeBytes(to / "counter444", hx::testClipBytes(4, 4, 3, hxhost::TestPattern::FieldCounter));
    const std::string frame = "FRAME\n" + std::string(8, '\x40') + std::string(4, '\x80');
    writeBytes(to / "interlaced420", "YUV4MPEG2 W4 H2 F25:1 It A16:15 C420jpeg XCOMMENT=seed\n" + frame + frame);
    writeBytes(to / "progressive422", "YUV4MPEG2 W2 H2 F30000:1001 Ip A0:0 C422\nFRAME\n" + std::string(8, '\x50'));
}

uint8_t gradient(int x, int y, int channel)
{
    return static_cast<uint8_t>(x * 16 + y * 8 + channel * 60);
}

// Every format of the table at its own rate, and 1080p at a rate of 1001.
void projectFormatSeeds(const fs::path& to)
{
    int n = 0;
    for (const hxhost::VideoFormat& format : hxhost::videoFormats())
        writeBytes(to / ("format" + std::to_string(n++)), hx::encodeProjectFormat(format));
    hxhost::VideoFormat fractional;
    if (hxhost::findVideoFormat("1080p", "59.94", fractional, nullptr))
        writeBytes(to / "fractional", hx::encodeProjectFormat(fractional));
}

// An empty storyboard; three scenes with an effect, a transition with a jingle, an undo step and a
// clear that can be undone, left unfinished; the same as the first version of the file stored it.
void storyboardSeeds(const fs::path& to)
{
    writeBytes(to / "empty", hx::encodeStoryboard({}));
    hx::StoryboardData board;
    for (uint32_t id = 1; id <= 3; ++id) {
        hxhost::StoryboardScene scene;
        scene.id = id;
        scene.clipItem = 10 + id;
        scene.length = 50;
        board.scenes.push_back(scene);
    }
    hxhost::PlacedOperator pan;
    pan.handle = 1;
    pan.operatorName = "longterm/stillsetpan.opw";
    pan.length = 50;
    pan.prefs.assign(16, 3);
    board.scenes[0].effect = pan;
    hxhost::PlacedTransition wipe;
    wipe.handle = 2;
    wipe.operatorName = "transition/wipe";
    wipe.length = 10;
    wipe.jingleFile = "/music/bell.wav";
    wipe.jingleName = u"Bell";
    wipe.jingleMicroseconds = 125000;
    board.scenes[1].transition = wipe;
    board.nextSceneId = 4;
    board.nextHandle = 3;
    board.unfinishedFrom = 2;
    board.history.push_back({u"Add transition", {{2, std::nullopt, std::nullopt}}, std::nullopt});
    board.history.push_back({u"Clear storyboard", {}, hx::RemovedScenes{{board.scenes[0]}, 0, 49, 0}});
    writeBytes(to / "built", hx::encodeStoryboard(board));
    writeBytes(to / "first_version", std::string("HXSB\x01\0\0\0\x02\0\0\0\x01\0\0\0\0\0\0\0\x31\0\0\0\x01\0\0\0"
                                                 "\x01\0\0\0\x07\0\0\0\x32\0\0\0\0\0\0\0\0\0\x2e\xeb\xb5\x73",
                                                 50));
}

// The operator files a host installs: the pan operator's library and a built-in transition.
void operatorFileSeeds(const fs::path& to, const fs::path& home)
{
    fs::copy_file(home / "longterm" / "stillsetpan.opw", to / "library", fs::copy_options::overwrite_existing);
    for (const auto& file : fs::directory_iterator(home / "transition")) {
        fs::copy_file(file.path(), to / "builtin", fs::copy_options::overwrite_existing);
        break;
    }
}

void jpegPngSeeds(const fs::path& to)
{
    const auto pixel = [](int components) {
        return [components](int x, int y, uint8_t* out) {
            for (int c = 0; c < components; ++c)
                out[c] = gradient(x, y, c);
        };
    };
    writeJpeg(to / "rgb.jpg", 16, 12, {}, pixel(3));
    writeJpeg(to / "gray_progressive.jpg", 16, 12, {.components = 1, .progressive = true}, pixel(1));
    writeJpeg(to / "cmyk.jpg", 16, 12, {.components = 4}, pixel(4));
    writeJpeg(to / "turned_exif.jpg", 16, 12, {.exifOrientation = 6}, pixel(3));
    writeJpeg(to / "display_p3.jpg", 16, 12, {}, pixel(3), displayP3Profile());
    std::string rgba, gray16;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            for (int c = 0; c < 4; ++c)
                rgba += static_cast<char>(gradient(x, y, c));
            gray16 += std::string(2, static_cast<char>(gradient(x, y, 0)));
        }
    writePng(to / "rgba.png", 16, 12, PNG_FORMAT_RGBA, rgba);
    writePng(to / "gray16.png", 16, 12, PNG_FORMAT_LINEAR_Y, gray16);
    writePng(to / "palette.png", 16, 12, PNG_FORMAT_RGB_COLORMAP, std::string(16 * 12, '\x01'), "\x10\x20\x30\xF0\xE0\xD0");
    writeBytes(to / "adobe_rgb.png", withPngProfile(readBytes(to / "rgba.png"), adobeRgbProfile()));
}

Pixels gradientPixels(int channels)
{
    Pixels pixels{16, 12, channels, {}};
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < channels; ++c)
                pixels.bytes += static_cast<char>(gradient(x, y, c));
    return pixels;
}

void heifSeeds(const fs::path& to)
{
    if (!writeHeif(to / "plain.heic", gradientPixels(3)))
        std::cerr << "no HEVC encoder: the HEIF target starts without seeds\n";
    writeHeif(to / "turned_p3.heic", gradientPixels(3), {.quality = 80, .orientation = 6, .iccProfile = displayP3Profile()});
    writeHeif(to / "alpha.heic", gradientPixels(4), {.quality = 80, .orientation = 3});
}

void webpSeeds(const fs::path& to)
{
    writeWebp(to / "lossless.webp", gradientPixels(3));
    writeWebp(to / "lossy.webp", gradientPixels(3), 75);
    writeWebp(to / "alpha_p3.webp", gradientPixels(4), -1, displayP3Profile());
}

void tiffSeeds(const fs::path& to)
{
    const std::string rgb = gradientPixels(3).bytes, rgba = gradientPixels(4).bytes;
    writeTiff(to / "rgb.tif", 16, 12, {}, rgb);
    writeTiff(to / "rgb16_turned.tif", 16, 12, {.bitsPerSample = 16, .orientation = 8}, rgb + rgb);
    writeTiff(to / "gray.tif", 16, 12, {.photometric = 1, .samplesPerPixel = 1}, gradientPixels(1).bytes);
    writeTiff(to / "cmyk.tif", 16, 12, {.photometric = 5, .samplesPerPixel = 4}, rgba);
    writeTiff(to / "alpha_adobe.tif", 16, 12, {.samplesPerPixel = 4, .extraSamples = 2, .iccProfile = adobeRgbProfile()}, rgba);
    std::string colourMap;
    for (int i = 0; i < 3 * 256; ++i)
        colourMap += std::string(2, static_cast<char>(i));
    writeTiff(to / "palette_pages.tif", 16, 12, {.photometric = 3, .samplesPerPixel = 1, .colourMap = colourMap, .pages = 2}, std::string(16 * 12, '\x07'));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " DIR\n";
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path scratch = root / "scratch";
    hxhost::reset();
    fs::remove_all(scratch);
    if (!hxhost::installHome(scratch / "home")) {
        std::cerr << "cannot install a host under " << scratch << "\n";
        return 1;
    }
    const auto folder = [&](const char* target) {
        fs::create_directories(root / target);
        return root / target;
    };
    settingsSeeds(folder("settings_file"), scratch);
    photoListSeeds(folder("photo_list"), scratch);
    sceneBinSeeds(folder("scene_bin"), scratch);
    sessionScriptSeeds(folder("session_script"));
    y4mSeeds(folder("y4m_clip"));
    storyboardSeeds(folder("storyboard"));
    projectFormatSeeds(folder("project_format"));
    operatorFileSeeds(folder("operator_file"), scratch / "home");
    jpegPngSeeds(folder("still_import"));
    heifSeeds(folder("heif"));
    webpSeeds(folder("webp"));
    tiffSeeds(folder("tiff"));
    nslFreeStillsetProject(nullptr, &session.photoList, 0);
    hxhost::reset();
    fs::remove_all(scratch);
    return 0;
}
