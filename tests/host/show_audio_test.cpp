// The sound of a show: jingles where they start and nowhere else, the music bed under them, the
// fade at the end, and a limiter instead of clipping.
#include "support/test_home.h"

#include "hxhost/show_audio.h"
#include "hxhost/video_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A 16-bit stereo WAV at 48 kHz of `samples` samples, each sample(i) on both channels.
void writeWav(const std::string& path, size_t samples, const std::function<float(size_t)>& sample)
{
    auto u32 = [](std::string& s, uint32_t v) { for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i)); };
    std::string bytes = "RIFF";
    u32(bytes, static_cast<uint32_t>(36 + samples * 4));
    bytes += "WAVEfmt ";
    u32(bytes, 16);
    u32(bytes, 1 | 2 << 16);
    u32(bytes, 48000);
    u32(bytes, 48000 * 4);
    u32(bytes, 4 | 16 << 16);
    bytes += "data";
    u32(bytes, static_cast<uint32_t>(samples * 4));
    for (size_t i = 0; i < samples; ++i) {
        const auto v = static_cast<int16_t>(std::lround(sample(i) * 32767));
        for (int c = 0; c < 2; ++c) {
            bytes += static_cast<char>(v & 0xFF);
            bytes += static_cast<char>((v >> 8) & 0xFF);
        }
    }
    writeFile(path, bytes);
}

class ShowAudioTest : public HostTest {
protected:
    // Every frame's samples of a show.
    std::vector<std::vector<float>> play(hxhost::ShowAudio& audio, int64_t first, int64_t frames)
    {
        std::string error;
        std::vector<std::vector<float>> out;
        EXPECT_TRUE(audio.open(&error)) << error;
        for (int64_t f = first; f < frames; ++f) {
            out.emplace_back();
            EXPECT_TRUE(audio.frameSound(f, out.back(), &error)) << error;
        }
        return out;
    }
    static float peak(const std::vector<float>& samples)
    {
        float p = 0;
        for (float s : samples)
            p = std::max(p, std::fabs(s));
        return p;
    }
};

TEST_F(ShowAudioTest, JinglesSoundFromTheirFramesAndNowhereElse)
{
    const std::string jingle = home() + "/jingle.wav";
    writeWav(jingle, 9600, [](size_t i) { return 0.5f * static_cast<float>(std::sin(i * 0.05)); }); // 0.2 s
    hxhost::ShowAudio audio(50, 25, {{10, jingle}, {30, jingle}}, "");
    const auto frames = play(audio, 0, 50);
    ASSERT_EQ(frames.size(), 50u);
    for (int f = 0; f < 50; ++f) {
        EXPECT_EQ(frames[static_cast<size_t>(f)].size(), 1920u * 2);
        const bool sounding = (f >= 10 && f < 15) || (f >= 30 && f < 35);
        EXPECT_EQ(peak(frames[static_cast<size_t>(f)]) > 0.4f, sounding) << f;
        if (!sounding) {
            EXPECT_EQ(peak(frames[static_cast<size_t>(f)]), 0.0f) << f;
        }
    }
    // The jingle starts on the frame's first sample.
    EXPECT_EQ(frames[10][0], 0.0f);
    EXPECT_NEAR(frames[10][2], 0.5f * std::sin(0.05f), 1e-4);
}

TEST_F(ShowAudioTest, LoudOverlapsAreLimitedNeverClippedOrWrapped)
{
    const std::string loud = home() + "/loud.wav";
    writeWav(loud, 4800, [](size_t) { return 0.9f; });
    hxhost::ShowAudio audio(10, 25, {{2, loud}, {2, loud}, {3, loud}}, "");
    for (const auto& frame : play(audio, 0, 10))
        for (float s : frame) {
            EXPECT_LE(s, 0.98f);
            EXPECT_GE(s, 0.0f); // a sum past full scale never comes back negative
        }
}

TEST_F(ShowAudioTest, MusicIsLoopedLoweredUnderJinglesAndFadedOut)
{
    const std::string music = home() + "/music.wav", silent = home() + "/silent.wav";
    writeWav(music, 19200, [](size_t) { return 0.5f; }); // 0.4 s: the show loops it
    writeWav(silent, 9600, [](size_t) { return 0.0f; });
    hxhost::ShowAudio audio(100, 25, {{50, silent}}, music);
    const auto frames = play(audio, 0, 100);
    auto level = [&](size_t f) { return frames[f][1000]; };
    EXPECT_NEAR(level(5), 0.5f, 0.01);
    EXPECT_NEAR(level(30), 0.5f, 0.01);   // past the music's own end: looped
    EXPECT_NEAR(level(52), 0.15f, 0.01);  // under the jingle
    EXPECT_GT(level(49), level(52));      // lowered smoothly, starting just before it
    EXPECT_GT(level(58), level(54));      // coming back after it
    EXPECT_NEAR(level(66), 0.5f, 0.01);   // back once the jingle has gone
    EXPECT_LT(level(99), 0.02f);          // faded out at the end
    EXPECT_GT(level(85), level(95));
}

TEST_F(ShowAudioTest, StartingPartWaySoundsAsTheWholeShowDoesThere)
{
    const std::string music = home() + "/music.wav", jingle = home() + "/jingle.wav";
    writeWav(music, 30000, [](size_t i) { return 0.3f * static_cast<float>(std::sin(i * 0.01)); });
    writeWav(jingle, 9600, [](size_t i) { return 0.3f * static_cast<float>(std::cos(i * 0.02)); });
    hxhost::ShowAudio whole(60, 25, {{40, jingle}}, music), part(60, 25, {{40, jingle}}, music);
    const auto all = play(whole, 0, 60);
    const auto tail = play(part, 38, 60);
    ASSERT_EQ(tail.size(), 22u);
    for (size_t f = 0; f < tail.size(); ++f)
        for (size_t i = 0; i < tail[f].size(); i += 97)
            EXPECT_NEAR(tail[f][i], all[f + 38][i], 1e-6) << f;
}

TEST_F(ShowAudioTest, AnUnreadableSoundIsNamed)
{
    writeFile(home() + "/broken.wav", "RIFF....WAVEnothing");
    std::string error;
    hxhost::ShowAudio jingle(10, 25, {{2, home() + "/broken.wav"}}, "");
    EXPECT_FALSE(jingle.open(&error));
    EXPECT_NE(error.find("broken.wav"), std::string::npos);
    hxhost::ShowAudio music(10, 25, {}, home() + "/missing.mp3");
    EXPECT_FALSE(music.open(&error));
    EXPECT_NE(error.find("missing.mp3"), std::string::npos);
}

} // namespace
