#include "bench_files.h"
#include "bench_pictures.h"
#include "support/picture_files.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

// A smooth scene with fine texture: what a photo looks like to a scaler or a codec.
void scenePixel(int x, int y, int width, int height, uint8_t rgb[3])
{
    const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
    const double texture = 18 * std::sin(x * 0.37) * std::cos(y * 0.29);
    rgb[0] = static_cast<uint8_t>(std::clamp(60 + 150 * u + texture, 0.0, 255.0));
    rgb[1] = static_cast<uint8_t>(std::clamp(40 + 170 * v - texture, 0.0, 255.0));
    rgb[2] = static_cast<uint8_t>(std::clamp(200 - 120 * u * v + texture, 0.0, 255.0));
}

} // namespace

OpImage* makeDetailedPicture(int width, int height)
{
    OpImage* image = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    if (!image)
        throw std::runtime_error("no memory for the benchmark picture");
    uint8_t* p = image->planes[0];
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 4) {
            uint8_t rgb[3];
            scenePixel(x, y, width, height, rgb);
            p[0] = 0xFF;
            p[1] = static_cast<uint8_t>(128 + (rgb[2] - rgb[1]) / 4);
            p[2] = static_cast<uint8_t>(128 + (rgb[0] - rgb[1]) / 4);
            p[3] = static_cast<uint8_t>(16 + (rgb[0] + 2 * rgb[1] + rgb[2]) * 219 / 1020);
        }
    return image;
}

std::string writeDetailedJpeg(const std::string& path, int width, int height)
{
    writeJpeg(path, width, height, JpegOptions{}, [&](int x, int y, uint8_t* rgb) { scenePixel(x, y, width, height, rgb); });
    return path;
}

std::string benchFile(const std::string& name)
{
    const char* directory = std::getenv("STILLSET_BENCH_DIR");
    const std::string folder = directory && *directory ? directory : "/tmp/stillset-bench";
    std::filesystem::create_directories(folder);
    return folder + "/" + name;
}

BenchPhotoHome::BenchPhotoHome()
{
    const std::string photo = benchFile("photo-4000x3000.jpg");
    if (!std::filesystem::exists(photo))
        writeDetailedJpeg(photo, 4000, 3000);
    char pattern[] = "/tmp/stillset-bench-home-XXXXXX";
    if (!mkdtemp(pattern)) {
        error_ = "no temporary installation";
        return;
    }
    home_ = pattern;
    if (hxhost::installHome(home_, &error_))
        record_ = hxhost::importStill(photo, &error_);
}

BenchPhotoHome::~BenchPhotoHome()
{
    if (!home_.empty())
        std::filesystem::remove_all(home_);
    hxhost::reset();
}
