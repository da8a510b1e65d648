// stillset-host render-photo on a generated photo, checked against the recorded render.
#include "e2e/program_run.h"
#include "support/test_home.h"

#include "host/hxopcommon.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::string kReference = std::string(STILLSET_SOURCE_DIR) + "/tests/e2e/reference/render_photo.sums";

int runQuietly(const std::string& command)
{
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 64-bit FNV-1a of the decoded RGB pixels, with the size: independent of how the file was compressed.
std::string pictureSum(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return "unreadable";
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : pixels)
        hash = (hash ^ byte) * 0x100000001B3ull;
    char text[64];
    std::snprintf(text, sizeof text, "%ux%u %016llx", image.width, image.height, static_cast<unsigned long long>(hash));
    return text;
}

// A photo with structure in both directions and in colour, written through the host.
std::string makePhoto(const std::string& path)
{
    OpImage* picture = opAllocImage(800, 600, OP_FORMAT_YUVA, 0);
    auto* words = reinterpret_cast<uint32_t*>(picture->planes[0]);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const uint32_t luma = 40 + (x * 150 / 800 + ((x / 50 + y / 50) % 2) * 30);
            const uint32_t u = 128 + (y * 60 / 600) - 30, v = 128 + (x * 60 / 800) - 30;
            words[y * 800 + x] = luma << 24 | v << 16 | u << 8;
        }
    hxhost::writeImagePng(picture, path);
    opFreeImage(picture);
    return path;
}

std::map<std::string, std::string> recordedSums()
{
    std::map<std::string, std::string> sums;
    std::ifstream in(kReference);
    for (std::string line; std::getline(in, line);) {
        const size_t tab = line.find('\t');
        if (!line.empty() && line[0] != '#' && tab != std::string::npos)
            sums[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return sums;
}

using RenderPhotoTest = HostTest;

TEST_F(RenderPhotoTest, RendersMatchTheRecordedPictures)
{
    const std::string photo = makePhoto(home() + "/photo.png");
    const std::map<std::string, std::string> cases = {
        {"plain", ""},
        {"turned-mirrored-cropped-toned", "--rotation 90 --mirror --crop 10,20,600,500 --brightness 120 --contrast 90 "
                                          "--saturation 140 --gamma 20"},
        {"hd", "--standard hd1080 --rotation 180"},
        {"full", "--full --rotation 270 --crop 100,0,500,600"},
    };
    const auto recorded = recordedSums();
    std::ostringstream now;
    for (const auto& [name, options] : cases) {
        const std::string out = home() + "/" + name + ".png";
        ASSERT_EQ(runQuietly(kHost + " render-photo " + photo + " -o " + out + " " + options), 0) << name;
        const std::string sum = pictureSum(out);
        now << name << '\t' << sum << '\n';
        auto it = recorded.find(name);
        EXPECT_EQ(sum, it == recorded.end() ? "(not recorded)" : it->second) << name;
    }
    if (HasFailure())
        std::fprintf(stderr, "sums of this run:\n%s", now.str().c_str());
}

TEST_F(RenderPhotoTest, BadPhotosAndOptionsGiveOneLineErrors)
{
    writeFile(home() + "/broken.jpg", "\xFF\xD8\xFF\xE0 not really a photo");
    const std::string photo = makePhoto(home() + "/photo.png"), out = " -o " + home() + "/x.png";
    struct Case {
        std::string arguments, says;
    };
    const Case bad[] = {{home() + "/broken.jpg" + out, "broken.jpg: corrupt or truncated JPEG"},
                        {"/no/such.jpg -o /tmp/x.png", "/no/such.jpg: cannot read it: No such file"},
                        {photo + out + " --rotation 45", "--rotation takes 0, 90, 180 or 270"},
                        {photo + out + " --brightness 300", "--brightness takes a whole number from 0 to 200, not '300'"},
                        {photo + out + " --crop 1,2,3", "--crop takes X,Y,W,H, not '1,2,3'"},
                        {photo + out + " --standard ntsc", "--standard takes pal or hd1080, not 'ntsc'"},
                        {photo, "give one PHOTO and -o OUT.png"}};
    for (const Case& c : bad) {
        const ProgramRun result = run(kHost + " render-photo " + c.arguments);
        EXPECT_NE(result.status, 0) << c.arguments;
        // One line, naming the command and what is wrong.
        EXPECT_EQ(result.output.rfind("stillset-host: render-photo: ", 0), 0u) << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
    }
    EXPECT_FALSE(fileExists(home() + "/x.png"));
}

} // namespace
