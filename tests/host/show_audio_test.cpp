// The sound of a show: jingles where they start and until the next one, the music bed under them,
// the fades at the ends, the loudness and a limiter instead of clipping.
#include "support/audio_files.h"
#include "support/loudness_meter.h"
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

// The mix as put together, at its own level and without fades.
hxhost::SoundSettings raw(const std::string& music = "")
{
    return {music, std::nullopt, 0};
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
    // The size of the `hz` tone in the left channel of `mix` between two times in seconds.
    static double toneLevel(const std::vector<float>& mix, double hz, double from, double to)
    {
        const auto first = static_cast<size_t>(from * 48000), last = static_cast<size_t>(to * 48000);
        double re = 0, im = 0;
        for (size_t i = first; i < last; ++i) {
            const double phase = 2 * M_PI * hz * static_cast<double>(i) / 48000;
            re += mix[2 * i] * std::cos(phase);
            im += mix[2 * i] * std::sin(phase);
        }
        return 2 * std::hypot(re, im) / static_cast<double>(last - first);
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
    hxhost::ShowAudio audio(50, 25, {{10, jingle}, {30, jingle}}, raw());
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

TEST_F(ShowAudioTest, LoudSoundIsLimitedUnderTheCeilingNeverClippedOrWrapped)
{
    const std::string loud = home() + "/loud.wav";
    writeWav(loud, 4800, [](size_t) { return 0.9f; });
    hxhost::ShowAudio audio(10, 25, {{2, loud}, {3, loud}}, raw(loud));
    const float ceiling = std::pow(10.0f, -2.0f / 20);
    for (const auto& frame : play(audio, 0, 10))
        for (float s : frame) {
            EXPECT_LE(s, ceiling + 1e-3f);
            EXPECT_GE(s, 0.0f); // a sum past full scale never comes back negative
        }
}

TEST_F(ShowAudioTest, MusicIsLoopedLoweredUnderJinglesAndFadedAtTheEnds)
{
    const std::string music = home() + "/music.wav", silent = home() + "/silent.wav";
    writeWav(music, 19200, [](size_t) { return 0.5f; }); // 0.4 s: the show loops it
    writeWav(silent, 9600, [](size_t) { return 0.0f; });
    hxhost::ShowAudio audio(100, 25, {{50, silent}}, {music, std::nullopt, 0.5});
    const auto frames = play(audio, 0, 100);
    auto level = [&](size_t f) { return frames[f][1000]; };
    EXPECT_LT(level(0), 0.02f);           // faded in
    EXPECT_NEAR(level(15), 0.5f, 0.01);
    EXPECT_NEAR(level(30), 0.5f, 0.01);   // past the music's own end: looped
    EXPECT_NEAR(level(52), 0.15f, 0.01);  // under the jingle
    EXPECT_GT(level(49), level(52));      // lowered smoothly, starting just before it
    EXPECT_GT(level(58), level(54));      // coming back after it
    EXPECT_NEAR(level(66), 0.5f, 0.01);   // back once the jingle has gone
    EXPECT_LT(level(99), 0.04f);          // faded out at the end
    EXPECT_GT(level(85), level(95));
}

TEST_F(ShowAudioTest, AJingleStopsWhenTheNextStartsAndTheMusicComesBackBetween)
{
    // Music, a long jingle and two short ones, each a tone of its own.
    const std::string music = home() + "/music.wav", longJingle = home() + "/long.wav", shortJingle = home() + "/short.wav";
    writeWav(music, 48000 * 5, [](size_t i) { return 0.4f * static_cast<float>(std::sin(2 * M_PI * 200 * i / 48000.0)); });
    writeWav(longJingle, 48000 * 3, [](size_t i) { return 0.4f * static_cast<float>(std::sin(2 * M_PI * 1000 * i / 48000.0)); });
    writeWav(shortJingle, 48000 * 4 / 10, [](size_t i) { return 0.4f * static_cast<float>(std::sin(2 * M_PI * 1700 * i / 48000.0)); });
    // At 0.4 s the long one (3 s, longer than the 1 s to the next); at 1.4 s and 3 s the short ones,
    // the last of which the show's end at 3.2 s cuts.
    hxhost::ShowAudio audio(80, 25, {{10, longJingle}, {35, shortJingle}, {75, shortJingle}}, raw(music));
    std::vector<float> mix;
    for (const auto& frame : play(audio, 0, 80))
        mix.insert(mix.end(), frame.begin(), frame.end());
    auto tone = [&](double hz, double from, double to) { return toneLevel(mix, hz, from, to); };

    EXPECT_NEAR(tone(1000, 0.6, 1.2), 0.4, 0.02);  // the long jingle sounds
    EXPECT_LT(tone(1000, 1.4, 1.8), 0.005);        // and has stopped once the next starts
    EXPECT_GT(tone(1000, 1.25, 1.3), tone(1000, 1.35, 1.4)); // fading, not cut
    EXPECT_NEAR(tone(1700, 1.45, 1.75), 0.4, 0.02);
    EXPECT_NEAR(tone(200, 0.6, 1.2), 0.12, 0.01);  // the music lowered under the jingles
    EXPECT_NEAR(tone(200, 1.45, 1.75), 0.12, 0.01);
    EXPECT_NEAR(tone(200, 2.3, 2.85), 0.4, 0.01);  // and back at full between them
    // The last jingle ends with the show, faded rather than cut.
    EXPECT_LT(std::fabs(mix[mix.size() - 2]), 0.01f);
    EXPECT_GT(tone(1700, 3.0, 3.08), tone(1700, 3.16, 3.2));
}

TEST_F(ShowAudioTest, TheShowIsBroughtToItsLoudnessWithItsTruePeakUnderTheCeiling)
{
    // Quiet but peaky: brought up to the target, the thumps would go far past full scale.
    ASSERT_EQ(writeTone(home() + "/drums.flac", drumLoop("flac", 2, 0.5)), "");
    for (double target : {-16.0, -23.0}) {
        hxhost::ShowAudio audio(150, 25, {}, {home() + "/drums.flac", target, 0});
        std::vector<float> mix;
        for (const auto& frame : play(audio, 0, 150))
            mix.insert(mix.end(), frame.begin(), frame.end());
        const Loudness measured = measureLoudness(mix);
        EXPECT_NEAR(measured.integratedLufs, target, 0.5) << target;
        EXPECT_LE(measured.truePeakDbtp, -2.0 + 0.1) << target;
        // What the limiter takes away with the peaks is made up.
        EXPECT_GE(audio.gainDb(), target - audio.measuredLufs()) << target;
    }
}

TEST_F(ShowAudioTest, SilenceStaysSilenceAndHissIsRaisedOnlySoFar)
{
    const std::string silent = home() + "/silent.wav", hiss = home() + "/hiss.wav";
    writeWav(silent, 48000, [](size_t) { return 0.0f; });
    writeWav(hiss, 48000, [](size_t i) { return 0.001f * static_cast<float>(std::sin(i * 0.3)); }); // -60 dBFS
    hxhost::ShowAudio quiet(50, 25, {{5, silent}}, {silent, -16.0, 1});
    for (const auto& frame : play(quiet, 0, 50))
        EXPECT_EQ(peak(frame), 0.0f);
    EXPECT_EQ(quiet.gainDb(), 0.0);
    hxhost::ShowAudio hissing(50, 25, {}, {hiss, -16.0, 0});
    const auto frames = play(hissing, 0, 50);
    EXPECT_DOUBLE_EQ(hissing.gainDb(), 20.0);
    EXPECT_NEAR(peak(frames[20]), 0.01f, 0.001f);
}

TEST_F(ShowAudioTest, AnySpanSoundsAsTheWholeShowDoesThere)
{
    const std::string music = home() + "/music.wav", jingle = home() + "/jingle.wav";
    // Quiet music with loud clicks: brought to the loudness target, the limiter works on every click.
    writeWav(music, 30000, [](size_t i) { return i % 4800 < 20 ? 1.0f : 0.05f * static_cast<float>(std::sin(i * 0.01)); });
    writeWav(jingle, 9600, [](size_t i) { return 0.3f * static_cast<float>(std::cos(i * 0.02)); });
    hxhost::ShowAudio whole(60, 25, {{40, jingle}}, {music}), part(60, 25, {{40, jingle}}, {music});
    const auto all = play(whole, 0, 60);
    const auto tail = play(part, 38, 60);
    ASSERT_EQ(tail.size(), 22u);
    for (size_t f = 0; f < tail.size(); ++f)
        for (size_t i = 0; i < tail[f].size(); ++i)
            ASSERT_NEAR(tail[f][i], all[f + 38][i], 1e-6) << f;
    EXPECT_GT(whole.gainDb(), 3.0);
    // A player going back, and forward past the music's loop, hears the same.
    std::string error;
    for (int64_t f : {5, 6, 30, 12}) {
        std::vector<float> again;
        ASSERT_TRUE(part.frameSound(f, again, &error)) << error;
        EXPECT_EQ(again, all[static_cast<size_t>(f)]) << f;
    }
}

TEST_F(ShowAudioTest, AnUnreadableSoundIsNamed)
{
    writeFile(home() + "/broken.wav", "RIFF....WAVEnothing");
    std::string error;
    hxhost::ShowAudio jingle(10, 25, {{2, home() + "/broken.wav"}}, raw());
    EXPECT_FALSE(jingle.open(&error));
    EXPECT_NE(error.find("broken.wav"), std::string::npos);
    hxhost::ShowAudio music(10, 25, {}, raw(home() + "/missing.mp3"));
    EXPECT_FALSE(music.open(&error));
    EXPECT_NE(error.find("missing.mp3"), std::string::npos);
}

} // namespace
