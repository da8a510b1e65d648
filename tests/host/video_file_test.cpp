// The host's video files: Y4M with a WAV, MP4 and MKV read back with the FFmpeg libraries, and
// nothing left behind by a write that never finished.
#include "host/image_helpers.h"
#include "support/media_probe.h"
#include "support/test_home.h"

#include "hxhost/faults.h"
#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include "hxhost/video_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kWidth = 96, kHeight = 64;

hxhost::VideoFileFormat smallFormat(bool bottomFirst = false)
{
    hxhost::VideoFileFormat format;
    format.width = kWidth;
    format.height = kHeight;
    format.bottomFirst = bottomFirst;
    return format;
}

// Field n of a test video: luma and chroma that tell the field, the row and the column apart.
OpImage* field(int n)
{
    return yuvImage(kWidth, kHeight / 2, [n](int x, int y) { return Yuv{16 + (n * 37 + y * 3 + x) % 200, 60 + n * 9 % 100, 200 - n * 7 % 100}; });
}

// Writes `frames` frames of fields 2f and 2f + 1 with a 1 kHz tone of amplitude 0.5.
bool writeVideo(hxhost::VideoFile& file, int frames, std::string* error)
{
    std::vector<float> sound(1920 * 2);
    for (int f = 0; f < frames; ++f) {
        OpImage* a = field(2 * f);
        OpImage* b = field(2 * f + 1);
        const bool ok = file.addFrame(a, b, error);
        opFreeImage(a);
        opFreeImage(b);
        for (size_t i = 0; i < 1920; ++i)
            sound[2 * i] = sound[2 * i + 1] = 0.5f * static_cast<float>(std::sin(2 * M_PI * 1000 * (f * 1920 + i) / 48000.0));
        if (!ok || !file.addAudio(sound.data(), 1920, error))
            return false;
    }
    return true;
}

class VideoFileTest : public HostTest {};

// The part files in a folder: each writer's own, named after the file it becomes.
size_t partFiles(const std::string& folder)
{
    size_t parts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        parts += entry.path().extension() == ".part";
    return parts;
}

TEST_F(VideoFileTest, Y4mWeavesFieldsInTimeOrderAndKeepsEachFieldsChroma)
{
    for (const bool bottomFirst : {false, true}) {
        const std::string path = home() + (bottomFirst ? "/b.y4m" : "/t.y4m");
        std::string error;
        auto file = hxhost::VideoFile::create(path, smallFormat(bottomFirst), &error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(writeVideo(*file, 2, &error)) << error;
        EXPECT_EQ(partFiles(home()), 2u); // the video's and its sound's
        ASSERT_TRUE(file->finish(&error)) << error;
        EXPECT_EQ(partFiles(home()), 0u);

        const std::string bytes = readFile(path);
        const std::string header = std::string("YUV4MPEG2 W96 H64 F25:1 I") + (bottomFirst ? 'b' : 't') + " A16:15 C420jpeg\n";
        ASSERT_EQ(bytes.substr(0, header.size()), header);
        const size_t frameBytes = kWidth * kHeight * 3 / 2;
        ASSERT_EQ(bytes.size(), header.size() + 2 * (6 + frameBytes));
        const auto* second = reinterpret_cast<const uint8_t*>(bytes.data()) + header.size() + 6 + frameBytes + 6;
        // Frame 1 holds fields 2 and 3; the first in time takes the bottom rows when the bottom comes first.
        OpImage* top = field(bottomFirst ? 3 : 2);
        OpImage* bottom = field(bottomFirst ? 2 : 3);
        for (int row : {0, 1, 2, 3, 62, 63})
            for (int x : {0, 5, 95})
                EXPECT_EQ(second[row * kWidth + x], yuvAt(row % 2 ? bottom : top, x, row / 2).y) << row << "," << x;
        const uint8_t* u = second + kWidth * kHeight;
        EXPECT_EQ(u[0], yuvAt(top, 0, 0).u);               // chroma row 0: the top field's rows 0 and 1
        EXPECT_EQ(u[kWidth / 2], yuvAt(bottom, 0, 0).u);   // chroma row 1: the bottom field's
        opFreeImage(top);
        opFreeImage(bottom);

        const std::string wav = readFile(path.substr(0, path.size() - 4) + ".wav");
        ASSERT_EQ(wav.size(), 44u + 2 * 1920 * 4);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        uint32_t dataBytes = 0;
        std::memcpy(&dataBytes, wav.data() + 40, 4);
        EXPECT_EQ(dataBytes, 2u * 1920 * 4);
        int16_t sample = 0;
        std::memcpy(&sample, wav.data() + 44 + 12 * 4, 2); // sample 12 of a 1 kHz tone at 48 kHz: sin(pi / 2)
        EXPECT_NEAR(sample, 16384, 2);
    }
}

// Noise at a width that is no multiple of the weave's wide steps: every sample is where it belongs.
TEST_F(VideoFileTest, WeavingTakesEveryLumaSampleAndAveragesEachFieldsOwnChroma)
{
    for (const auto& [width, vectors] : {std::pair{38, hxhost::VectorWidth::Avx512}, std::pair{104, hxhost::VectorWidth::Avx512},
                                        std::pair{200, hxhost::VectorWidth::Avx512}, std::pair{104, hxhost::VectorWidth::Avx2},
                                        std::pair{104, hxhost::VectorWidth::Basic}}) {
        hxhost::limitVectorWidth(vectors);
        hxhost::VideoFileFormat format;
        format.width = width;
        format.height = 12;
        OpImage* fields[2];
        for (int f = 0; f < 2; ++f)
            fields[f] = noiseImage(width, 6, 3 * f);
        hxhost::WovenFrame frame;
        ASSERT_TRUE(frame.weave(fields[0], fields[1], format));
        ASSERT_EQ(frame.planes.size(), static_cast<size_t>(width * 12 * 3 / 2));
        for (int row = 0; row < 12; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(frame.planes[static_cast<size_t>(row * width + x)], yuvAt(fields[row % 2], x, row / 2).y) << row << "," << x;
        const uint8_t* u = frame.planes.data() + width * 12;
        const uint8_t* v = u + width * 3;
        for (int c = 0; c < 6; ++c) {
            const OpImage* own = fields[c % 2];
            const int top = (c / 2) * 2;
            for (int x = 0; x < width / 2; ++x) {
                const Yuv p[4] = {yuvAt(own, 2 * x, top), yuvAt(own, 2 * x + 1, top), yuvAt(own, 2 * x, top + 1), yuvAt(own, 2 * x + 1, top + 1)};
                ASSERT_EQ(u[c * width / 2 + x], (p[0].u + p[1].u + p[2].u + p[3].u + 2) >> 2) << c << "," << x;
                ASSERT_EQ(v[c * width / 2 + x], (p[0].v + p[1].v + p[2].v + p[3].v + 2) >> 2) << c << "," << x;
            }
        }
        opFreeImage(fields[0]);
        opFreeImage(fields[1]);
    }
}

TEST_F(VideoFileTest, Mp4ReadsBackAsInterlacedH264WithAac)
{
    for (const bool bottomFirst : {false, true}) {
        const std::string path = home() + (bottomFirst ? "/b.mp4" : "/t.mp4");
        std::string error;
        auto file = hxhost::VideoFile::create(path, smallFormat(bottomFirst), &error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(writeVideo(*file, 25, &error)) << error;
        ASSERT_TRUE(file->finish(&error)) << error;
        const MediaInfo info = probeMedia(path);
        ASSERT_TRUE(info.opened);
        EXPECT_EQ(info.videoCodec, "h264");
        EXPECT_EQ(info.audioCodec, "aac");
        EXPECT_EQ(info.width, kWidth);
        EXPECT_EQ(info.height, kHeight);
        EXPECT_EQ(info.rateNumerator * 1.0 / info.rateDenominator, 25.0);
        EXPECT_EQ(info.aspectNumerator, 16);
        EXPECT_EQ(info.aspectDenominator, 15);
        EXPECT_EQ(info.videoFrames, 25);
        EXPECT_TRUE(info.framesInterlaced);
        EXPECT_EQ(info.topFieldFirst, !bottomFirst);
        EXPECT_EQ(info.fieldOrder, bottomFirst ? "bb" : "tt");
        EXPECT_EQ(info.audioRate, 48000);
        EXPECT_EQ(info.audioChannels, 2);
        EXPECT_NEAR(info.audioSeconds, 1.0, 0.05);
        EXPECT_NEAR(info.durationSeconds, 1.0, 0.05);
    }
}

TEST_F(VideoFileTest, MkvKeepsEveryPixelAndSample)
{
    const std::string mkv = home() + "/show.mkv", y4m = home() + "/show.y4m";
    std::string error;
    for (const std::string& path : {mkv, y4m}) {
        auto file = hxhost::VideoFile::create(path, smallFormat(), &error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(writeVideo(*file, 3, &error)) << error;
        ASSERT_TRUE(file->finish(&error)) << error;
    }
    const MediaInfo info = probeMedia(mkv);
    EXPECT_EQ(info.videoCodec, "ffv1");
    EXPECT_EQ(info.audioCodec, "flac");
    EXPECT_EQ(info.fieldOrder, "tt");
    EXPECT_EQ(info.aspectNumerator, 16);
    // Lossless: the same planes as the raw file, and the same samples as its WAV.
    const auto lossless = decodedFrames(mkv), raw = decodedFrames(y4m);
    ASSERT_EQ(lossless.size(), 3u);
    EXPECT_EQ(lossless, raw);
    const auto sound = decodedSound(mkv), wav = decodedSound(home() + "/show.wav");
    ASSERT_EQ(sound.size(), 3u * 1920);
    EXPECT_EQ(sound, wav);
}

TEST_F(VideoFileTest, AnUnfinishedOrRefusedFileLeavesNothing)
{
    std::string error;
    for (const char* name : {"/cut.mp4", "/cut.mkv", "/cut.y4m"}) {
        const std::string path = home() + name;
        {
            auto file = hxhost::VideoFile::create(path, smallFormat(), &error);
            ASSERT_TRUE(file) << error;
            ASSERT_TRUE(writeVideo(*file, 2, &error)) << error;
            // Fields of the wrong size are refused, with a reason.
            OpImage* small = yuvImage(kWidth / 2, kHeight / 2, [](int, int) { return Yuv{16, 128, 128}; });
            EXPECT_FALSE(file->addFrame(small, small, &error));
            EXPECT_NE(error.find("do not match"), std::string::npos);
            opFreeImage(small);
        }
        EXPECT_FALSE(fileExists(path)) << name;
        EXPECT_EQ(partFiles(home()), 0u) << name;
        EXPECT_FALSE(fileExists(home() + "/cut.wav"));
    }
    EXPECT_FALSE(hxhost::VideoFile::create(home() + "/show.avi", smallFormat(), &error));
    EXPECT_NE(error.find(".mp4, .mkv, .webm or .y4m"), std::string::npos);
    EXPECT_FALSE(hxhost::VideoFile::create(home() + "/no/such/dir/show.mp4", smallFormat(), &error));
    EXPECT_FALSE(hxhost::VideoFile::create(home() + "/no/such/dir/show.y4m", smallFormat(), &error));
    hxhost::failService("createVideoFile");
    EXPECT_FALSE(hxhost::VideoFile::create(home() + "/show.mp4", smallFormat(), &error));
    EXPECT_EQ(partFiles(home()), 0u);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

// `codec` as the file's encoder; `encoder` (its name or the container's own) chooses the fastest preset.
hxhost::VideoFileFormat progressiveFormat(const std::string& codec, const std::string& encoder, bool fractionalRate = false)
{
    hxhost::VideoFileFormat format = smallFormat();
    format.progressive = true;
    format.framesPerSecond = 30;
    format.fractionalRate = fractionalRate;
    format.pixelAspect = 1000;
    format.highDefinition = true;
    format.encoder.codec = codec;
    // The fastest setting of each encoder keeps the test quick.
    format.encoder.preset = encoder == "av1" ? "12" : encoder == "vp9" ? "8" : "ultrafast";
    return format;
}

// Every codec in every container it goes in decodes whole as progressive pictures with its sound,
// tagged as players look for it.
TEST_F(VideoFileTest, ProgressiveFilesOfEveryCodecDecodeWhole)
{
    const struct {
        const char* name;
        const char* codec;
        const char* videoCodec;
        const char* audioCodec;
    } cases[] = {
        {"h264.mp4", "", "h264", "aac"},     {"hevc.mp4", "hevc", "hevc", "aac"}, {"av1.mp4", "av1", "av1", "aac"},
        {"hevc.mkv", "hevc", "hevc", "flac"}, {"av1.mkv", "av1", "av1", "flac"},  {"vp9.webm", "", "vp9", "opus"},
        {"av1.webm", "av1", "av1", "opus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = home() + "/" + c.name;
        std::string error;
        auto file = hxhost::VideoFile::create(path, progressiveFormat(c.codec, c.videoCodec, true), &error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(writeVideo(*file, 12, &error)) << error;
        ASSERT_TRUE(file->finish(&error)) << error;
        const MediaInfo info = probeMedia(path);
        ASSERT_TRUE(info.opened);
        EXPECT_NE(info.videoCodec.find(c.videoCodec), std::string::npos) << info.videoCodec; // libdav1d decodes AV1
        EXPECT_EQ(info.audioCodec.find(c.audioCodec) != std::string::npos, true) << info.audioCodec;
        EXPECT_EQ(info.videoFrames, 12);
        EXPECT_EQ(info.interlacedFrames, 0);
        EXPECT_EQ(info.fieldOrder, "progressive");
        EXPECT_EQ(info.pixelFormat, "yuv420p");
        EXPECT_EQ(info.colourPrimaries, "bt709");
        EXPECT_EQ(info.colourSpace, "bt709");
        // Matroska counts time in milliseconds, so its average rate is only near.
        EXPECT_NEAR(info.rateNumerator / double(info.rateDenominator), 29.97, std::string(c.name).find(".mp4") == std::string::npos ? 0.5 : 0.001);
        EXPECT_NEAR(info.audioSeconds, 12 * 1920 / 48000.0, 0.03);
        if (std::string(c.name) == "hevc.mp4") {
            EXPECT_EQ(info.codecTag, "hvc1");
        }
        if (std::string(c.name).find(".mp4") != std::string::npos) {
            const auto boxes = topLevelBoxes(path);
            const auto moov = std::find(boxes.begin(), boxes.end(), "moov"), mdat = std::find(boxes.begin(), boxes.end(), "mdat");
            EXPECT_TRUE(moov < mdat && mdat != boxes.end()) << "the index comes first, so the file plays while it downloads";
        }
    }
}

// An H.264 MP4 of a progressive format: High profile at the lowest level that fits the frame and
// rate, its time base the 1001 rate's own.
TEST_F(VideoFileTest, ProgressiveH264TakesTheLevelOfItsFrameAndRate)
{
    const struct {
        int width, height, fps;
        int level;
    } cases[] = {{1280, 720, 30, 31}, {1920, 1080, 30, 41}, {1080, 1920, 30, 41}, {1920, 1080, 60, 42}, {1080, 1080, 30, 32}, {3840, 2160, 30, 51}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "@" + std::to_string(c.fps));
        hxhost::VideoFileFormat format = progressiveFormat("", "h264");
        format.encoder.preset.clear(); // the default, as people get it
        format.width = c.width;
        format.height = c.height;
        format.framesPerSecond = c.fps;
        const std::string path = home() + "/level.mp4";
        std::string error;
        auto file = hxhost::VideoFile::create(path, format, &error);
        ASSERT_TRUE(file) << error;
        hxhost::WovenFrame grey;
        grey.planes.assign(static_cast<size_t>(c.width) * c.height * 3 / 2, 128);
        std::vector<float> silence(2 * 1600);
        for (int f = 0; f < 2; ++f)
            ASSERT_TRUE(file->addWovenFrame(grey, &error) && file->addAudio(silence.data(), 1600, &error)) << error;
        ASSERT_TRUE(file->finish(&error)) << error;
        const MediaInfo info = probeMedia(path);
        EXPECT_EQ(info.profile, "High");
        EXPECT_EQ(info.level, c.level);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.timeBaseDenominator % c.fps, 0);
    }
}

// Choices a file cannot be written with are refused before anything is made.
TEST_F(VideoFileTest, EncoderChoicesTheFileCannotTakeAreRefused)
{
    const struct {
        std::string name, codec, preset;
        int quality;
        bool progressive;
        const char* message;
    } cases[] = {
        {"a.mp4", "vp9", "", -1, true, "cannot hold vp9"},
        {"a.webm", "h264", "", -1, true, "cannot hold h264"},
        {"a.mp4", "hevc", "", -1, false, "progressive only"},
        {"a.mp4", "mpeg2", "", -1, true, "the codecs are"},
        {"a.mp4", "", "quick", -1, true, "ultrafast to placebo"},
        {"a.mp4", "av1", "14", -1, true, "0 (slowest) to 13"},
        {"a.mp4", "av1", "-1", -1, true, "0 (slowest) to 13"},
        {"a.mp4", "h264", "", 52, true, "0 (best) to 51"},
        {"a.y4m", "h264", "", -1, true, "not encoded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + c.codec);
        hxhost::VideoFileFormat format = smallFormat();
        format.progressive = c.progressive;
        format.encoder = {c.codec, c.preset, c.quality};
        std::string error;
        EXPECT_FALSE(hxhost::VideoFile::create(home() + "/" + c.name, format, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_FALSE(fileExists(home() + "/" + c.name + ".part"));
    }
}

TEST_F(VideoFileTest, ProgressiveY4mSaysSoWithItsRate)
{
    const std::string path = home() + "/p.y4m";
    std::string error;
    auto file = hxhost::VideoFile::create(path, progressiveFormat("", "", true), &error);
    ASSERT_TRUE(file) << error;
    ASSERT_TRUE(writeVideo(*file, 1, &error)) << error;
    ASSERT_TRUE(file->finish(&error)) << error;
    const std::string header = "YUV4MPEG2 W96 H64 F30000:1001 Ip A1:1 C420jpeg\n";
    EXPECT_EQ(readFile(path).substr(0, header.size()), header);
}

TEST(SampleAspect, SmallestRatioThatRoundsToTheStandards)
{
    int32_t n = 0, d = 0;
    hxhost::sampleAspectRatio(1067, &n, &d);
    EXPECT_EQ(n * 100 + d, 1615);
    hxhost::sampleAspectRatio(1000, &n, &d);
    EXPECT_EQ(n * 100 + d, 101);
    EXPECT_EQ(hxhost::audioSampleOfFrame(25, 25), 48000);
    EXPECT_EQ(hxhost::audioSampleOfFrame(1, 30), 1600);
    EXPECT_EQ(hxhost::audioSampleOfFrame(30000, 30, true), 48048000); // 1001 seconds
    EXPECT_EQ(hxhost::audioSampleOfFrame(1, 30, true), 1601);
}

} // namespace
