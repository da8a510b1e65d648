// A show's sound as people hear it from the files the host program writes: loud music and jingles
// (AAC and Opus files) at the streaming loudness with the true peak under -1 dBTP once decoded, in
// MP4, MKV and WebM; fades at the ends; and a show fitted to its song.
#include "program_run.h"
#include "support/audio_files.h"
#include "support/loudness_meter.h"
#include "support/media_probe.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class ShowSoundTest : public HostTest {
protected:
    // `count` small photos of distinct colours in "photos".
    std::string photoFolder(int count)
    {
        const std::string folder = home() + "/photos";
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i)
            writeJpeg(folder + "/p" + std::to_string(100 + i) + ".jpg", 64, 48, {}, [i](int x, int, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(20 * i);
                rgb[1] = static_cast<uint8_t>(120 + x);
                rgb[2] = 200;
            });
        return folder;
    }

    // A drum loop peaking at full scale as AAC, and a loud bell as Opus.
    void writeLoudSounds()
    {
        ASSERT_EQ(writeTone(music(), drumLoop("m4a", 3, 1.0)), "");
        Tone bell;
        bell.container = "opus";
        bell.rate = 48000;
        bell.frequency = 880;
        bell.amplitude = 0.9;
        ASSERT_EQ(writeTone(jingle(), bell), "");
    }
    std::string music() const { return home() + "/drums.m4a"; }
    std::string jingle() const { return home() + "/bell.opus"; }
    std::string kept() const { return home() + "/kept"; }

    // A short show of three photos with the loud sounds, kept in kept(); progressive, as WebM is.
    ProgramRun makeShow(const std::string& output, const std::string& options = "")
    {
        return run(kHost + " slideshow " + photoFolder(3) + " -o " + output + " --seconds 2 --transition-seconds 0.5 --no-pan" +
                   " --format 720p --fps 25 --preset ultrafast --music " + music() + " --jingle " + jingle() + " --hxhome " + kept() +
                   " " + options);
    }
    ProgramRun exportShow(const std::string& output, const std::string& options = "")
    {
        return run(kHost + " export --hxhome " + kept() + " --project 0 --music " + music() + " -o " + output +
                   " " + options);
    }
};

TEST_F(ShowSoundTest, LoudMusicAndJinglesComeOutAtTheTargetLoudnessUnderTheTruePeakCeiling)
{
    writeLoudSounds();
    const std::string mp4 = home() + "/show.mp4", mkv = home() + "/show.mkv", webm = home() + "/show.webm";
    const ProgramRun made = makeShow(mp4);
    ASSERT_EQ(made.status, 0) << made.output;
    for (const std::string& other : {mkv, webm + " --preset 8"}) {
        const ProgramRun exported = exportShow(other);
        ASSERT_EQ(exported.status, 0) << exported.output;
    }
    for (const std::string& file : {mp4, mkv, webm}) {
        const std::vector<float> sound = decodedStereoSound(file);
        ASSERT_GT(sound.size(), 48000u * 2 * 4) << file;
        const Loudness measured = measureLoudness(sound);
        EXPECT_NEAR(measured.integratedLufs, -16.0, 1.0) << file;
        EXPECT_LE(measured.truePeakDbtp, -1.0) << file;
        EXPECT_LT(measured.samplePeak, 1.0f) << file;
    }
    // Another target, and the mix's own level.
    ASSERT_EQ(exportShow(mkv, "--loudness -23").status, 0);
    EXPECT_NEAR(measureLoudness(decodedStereoSound(mkv)).integratedLufs, -23.0, 1.0);
    ASSERT_EQ(exportShow(mkv, "--loudness off").status, 0);
    const Loudness own = measureLoudness(decodedStereoSound(mkv));
    EXPECT_GT(own.integratedLufs, -14.0);
    EXPECT_LE(own.truePeakDbtp, -1.0);
}

TEST_F(ShowSoundTest, TheShowFadesFromAndToBlackAndSilenceUnlessToldNot)
{
    writeLoudSounds();
    const std::string faded = home() + "/faded.mkv", sharp = home() + "/sharp.mkv";
    const ProgramRun made = makeShow(faded);
    ASSERT_EQ(made.status, 0) << made.output;
    ASSERT_EQ(exportShow(sharp, "--fade 0").status, 0);
    auto blackFrame = [](const std::vector<uint8_t>& planes) {
        return std::all_of(planes.begin(), planes.begin() + 1280 * 720, [](uint8_t y) { return y == 16; }) &&
               std::all_of(planes.begin() + 1280 * 720, planes.end(), [](uint8_t c) { return c == 128; });
    };
    // The loudest sample of the first and of the last 10 ms.
    auto ends = [](const std::vector<float>& sound) {
        const size_t edge = 480 * 2;
        float first = 0, last = 0;
        for (size_t i = 0; i < edge; ++i) {
            first = std::max(first, std::fabs(sound[i]));
            last = std::max(last, std::fabs(sound[sound.size() - 1 - i]));
        }
        return std::make_pair(first, last);
    };
    const auto fadedFrames = decodedFrames(faded), sharpFrames = decodedFrames(sharp);
    ASSERT_EQ(fadedFrames.size(), 3u * 50 - 2 * 12);
    ASSERT_EQ(sharpFrames.size(), fadedFrames.size());
    EXPECT_TRUE(blackFrame(fadedFrames.front()));
    EXPECT_TRUE(blackFrame(fadedFrames.back()));
    EXPECT_FALSE(blackFrame(fadedFrames[30])); // a second in: faded in
    EXPECT_FALSE(blackFrame(sharpFrames.front()));
    EXPECT_FALSE(blackFrame(sharpFrames.back()));
    const auto fadedEnds = ends(decodedStereoSound(faded)), sharpEnds = ends(decodedStereoSound(sharp));
    EXPECT_LT(fadedEnds.first, 0.01f);
    EXPECT_LT(fadedEnds.second, 0.01f);
    EXPECT_GT(sharpEnds.first, 0.05f);
    EXPECT_GT(sharpEnds.second, 0.05f);
}

// 61 seconds of song for twelve photos: 7-second photos would need 2.09-second transitions to fill
// it exactly; the nearest on offer, 2 seconds, makes 12 x 7 - 11 x 2 = 62 seconds, which no other
// pair of the popups' values comes closer to.
TEST_F(ShowSoundTest, FitMusicPicksThePopupValuesThatComeClosestToTheSong)
{
    Tone song;
    song.seconds = 61;
    song.amplitude = 0.2;
    ASSERT_EQ(writeTone(home() + "/song.wav", song), "");
    const std::string out = home() + "/fitted.mp4";
    const ProgramRun made = run(kHost + " slideshow " + photoFolder(12) + " -o " + out + " --no-pan --format pal" +
                                " --preset ultrafast --music " + home() + "/song.wav --fit-music");
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_NE(made.output.find("photos 7 s, transitions 2 s: the show lasts 62.00 s, 1.00 s longer than the music"),
              std::string::npos) << made.output;
    const MediaInfo info = probeMedia(out);
    EXPECT_EQ(info.videoFrames, 62 * 25);
    EXPECT_NEAR(info.audioSeconds, 62.0, 0.05);

    const ProgramRun both = run(kHost + " slideshow " + photoFolder(12) + " -o " + out + " --fit-music --seconds 3 --music " +
                                home() + "/song.wav");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.output.find("--fit-music chooses"), std::string::npos) << both.output;
    const ProgramRun alone = run(kHost + " slideshow " + photoFolder(12) + " -o " + out + " --fit-music");
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.output.find("there is none"), std::string::npos) << alone.output;
}

} // namespace
