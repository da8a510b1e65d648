// A whole slideshow decodes each photo no more often than the work needs: once as a small copy at
// import (the bin's check, the tool's thumbnails, previews and clip renders) and once for the export.
#include "program_run.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <png.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Decode {
    int width, height;
    bool small;
};

// The lines of --count-decodes, by media file.
std::map<std::string, std::vector<Decode>> decodesOf(const std::string& output)
{
    std::map<std::string, std::vector<Decode>> byFile;
    const std::regex line(R"(decodes of (\S+): \d+ \(([^)]*)\))"), size(R"((\d+)x(\d+)( small)?)");
    std::istringstream lines(output);
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        if (!std::regex_match(text, match, line))
            continue;
        std::vector<Decode>& decodes = byFile[match[1]];
        const std::string sizes = match[2];
        for (std::sregex_iterator it(sizes.begin(), sizes.end(), size), end; it != end; ++it)
            decodes.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), (*it)[3].matched});
    }
    return byFile;
}

struct Photo {
    std::string name;
    int width, height; // as stored
    JpegOptions options;
    int uprightWidth, uprightHeight;
};

class PhotoDecodesTest : public HostTest {
protected:
    // Photos of different sizes and shapes, each its own picture, one turned by its EXIF block; more
    // pixels than the host keeps decoded, as any real folder of photos has.
    std::vector<Photo> writePhotos(const std::string& folder)
    {
        fs::create_directories(folder);
        const std::vector<Photo> photos = {
            {"wide.jpg", 3200, 1800, {}, 3200, 1800},
            {"tall.jpg", 1800, 2700, {}, 1800, 2700},
            {"square.jpg", 2400, 2400, {3, true}, 2400, 2400},
            {"turned.jpg", 3000, 2000, {3, false, 6}, 2000, 3000},
            {"small.jpg", 400, 300, {1}, 400, 300},
        };
        for (size_t i = 0; i < photos.size(); ++i) {
            const Photo& p = photos[i];
            // A grey photo takes one byte a pixel.
            const int components = p.options.components;
            writeJpeg(folder + "/" + p.name, p.width, p.height, p.options, [i, components](int x, int y, uint8_t* out) {
                out[0] = static_cast<uint8_t>(x / 7 + 40 * i);
                if (components < 3)
                    return;
                out[1] = static_cast<uint8_t>(y / 5);
                out[2] = static_cast<uint8_t>((x + y) / 9);
            });
        }
        writePng(folder + "/drawing.png", 900, 700, PNG_FORMAT_RGB, std::string(900 * 700 * 3, '\x60'));
        return photos;
    }
};

TEST_F(PhotoDecodesTest, AWholeSlideshowDecodesEachPhotoOnceSmallAndOnceForTheShow)
{
    const std::string folder = home() + "/photos";
    const std::vector<Photo> photos = writePhotos(folder);
    // Pans hand the export's effect the whole picture; still scenes render through the tool's fields.
    for (const char* motion : {"", "--no-pan"}) {
        SCOPED_TRACE(motion);
        // Two threads: one render worker, as on the two-core machines this runs on.
        const ProgramRun made = run(kHost + " slideshow " + folder + " -o " + home() + "/show.mp4 --format pal" +
                                    " --seconds 1 --transition-seconds 0.2 --preset ultrafast --threads 2" +
                                    " --count-decodes " + motion);
        ASSERT_EQ(made.status, 0) << made.output;
        const auto decodes = decodesOf(made.output);
        ASSERT_EQ(decodes.size(), photos.size() + 1) << made.output;
        for (const Photo& photo : photos) {
            SCOPED_TRACE(photo.name);
            const auto found = decodes.find("media/" + photo.name);
            ASSERT_NE(found, decodes.end()) << made.output;
            const std::vector<Decode>& each = found->second;
            ASSERT_EQ(each.size(), 2u) << made.output;
            const Decode& small = each[0].small ? each[0] : each[1];
            const Decode& whole = each[0].small ? each[1] : each[0];
            ASSERT_TRUE(small.small && !whole.small) << made.output;
            EXPECT_EQ(whole.width, photo.uprightWidth);
            EXPECT_EQ(whole.height, photo.uprightHeight);
            // Small, but enough for the tool's largest picture of it.
            const int longer = std::max(photo.uprightWidth, photo.uprightHeight);
            EXPECT_GE(std::max(small.width, small.height), std::min(longer, 480));
            if (longer >= 960) {
                EXPECT_LE(std::max(small.width, small.height), longer / 2);
            }
            EXPECT_EQ(small.width > small.height, photo.uprightWidth > photo.uprightHeight) << "turned as seen";
        }
        // A PNG has no smaller scale to decode at: decoded whole at import, and once more for the show.
        EXPECT_LE(decodes.at("media/drawing.png").size(), 2u);
    }
}

} // namespace
