// Sound files: probing the kinds written here (FLAC, WAV, MP3, Ogg, M4A, Opus, WMA), reading them as
// 48 kHz stereo, and refusing broken ones without trusting what they say.
#include "support/audio_files.h"
#include "support/test_home.h"

#include "hxhost/audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

class AudioFileTest : public HostTest {
protected:
    std::string tone(const std::string& name, const Tone& t)
    {
        const std::string path = home() + "/" + name;
        const std::string why = writeTone(path, t);
        EXPECT_EQ(why, "") << name;
        return path;
    }
};

// A PCM WAV file of 16-bit samples whose header says what the caller likes.
std::string wavBytes(uint16_t channels, uint32_t rate, uint32_t claimedData, const std::string& data)
{
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    return "RIFF" + u32(36 + claimedData) + "WAVEfmt " + u32(16) + u16(1) + u16(channels) + u32(rate) +
           u32(rate * channels * 2) + u16(static_cast<uint16_t>(channels * 2)) + u16(16) + "data" + u32(claimedData) + data;
}

TEST_F(AudioFileTest, EachKindIsProbedForItsLengthAndTitle)
{
    const std::u16string title = u"Bell \u00e9t\u00e9 jingle";
    for (const char* container : {"wav", "flac", "mp3", "ogg"}) {
        Tone t;
        t.container = container;
        t.seconds = 1.5;
        t.title = "Bell \xc3\xa9t\xc3\xa9 jingle";
        const std::string path = tone(std::string("jingle.") + container, t);
        hxhost::AudioInfo info;
        std::string error;
        ASSERT_TRUE(hxhost::probeAudio(path, &info, &error)) << container << ": " << error;
        EXPECT_EQ(info.container, container);
        EXPECT_EQ(info.sampleRate, 44100) << container;
        EXPECT_EQ(info.channels, 2) << container;
        // Lossy coders add a little padding at the ends.
        EXPECT_NEAR(info.seconds, 1.5, std::string(container) == "mp3" || std::string(container) == "ogg" ? 0.06 : 1e-9) << container;
        EXPECT_EQ(info.title, title) << container;
        EXPECT_EQ(info.frames(25), static_cast<int64_t>(std::ceil(info.seconds * 25 - 1e-9))) << container;
    }
}

// The kinds phones and streaming give, known by their content whatever their names say.
TEST_F(AudioFileTest, AacOpusAndWmaFilesAreReadByTheirContent)
{
    for (const char* container : {"m4a", "opus", "wma"}) {
        Tone t;
        t.container = container;
        t.rate = 48000; // Opus has no 44.1 kHz
        t.seconds = 1.5;
        const std::string written = tone(std::string("tone.") + container, t);
        // A misleading name: the content decides.
        const std::string path = home() + "/" + container + "-tone.mp3";
        std::filesystem::rename(written, path);
        hxhost::AudioInfo info;
        std::string error;
        ASSERT_TRUE(hxhost::probeAudio(path, &info, &error)) << container << ": " << error;
        EXPECT_NEAR(info.seconds, 1.5, 0.06) << container;
        std::vector<float> samples;
        ASSERT_TRUE(hxhost::decodeAudio(path, samples, 60, &error)) << container << ": " << error;
        float peak = 0;
        for (size_t i = 48000; i < 96000; ++i)
            peak = std::max(peak, std::fabs(samples[i]));
        EXPECT_NEAR(peak, 0.5, 0.05) << container;
    }
}

TEST_F(AudioFileTest, AnInjectedFaultFailsTheProbeOnce)
{
    Tone t;
    const std::string path = tone("fault.wav", t);
    hxhost::failService("probeAudio");
    hxhost::AudioInfo info;
    std::string error;
    EXPECT_FALSE(hxhost::probeAudio(path, &info, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(hxhost::probeAudio(path, &info, &error)) << error;
}

TEST_F(AudioFileTest, LengthsInFramesCountAStartedFrame)
{
    hxhost::AudioInfo info;
    info.seconds = 1.5;
    EXPECT_EQ(info.frames(25), 38);
    info.seconds = 2.0;
    EXPECT_EQ(info.frames(25), 50);
    EXPECT_EQ(info.frames(0), 0);
    info.seconds = 0;
    EXPECT_EQ(info.frames(25), 0);
}

TEST_F(AudioFileTest, AFileWithoutATitleHasNone)
{
    Tone t;
    t.container = "flac";
    hxhost::AudioInfo info;
    ASSERT_TRUE(hxhost::probeAudio(tone("plain.flac", t), &info));
    EXPECT_TRUE(info.title.empty());
}

TEST_F(AudioFileTest, TheReaderDeliversFortyEightKilohertzStereoFromAMonoFile)
{
    Tone t;
    t.rate = 22050;
    t.channels = 1;
    t.seconds = 1.0;
    t.frequency = 500;
    t.amplitude = 0.5;
    const std::string path = tone("mono.wav", t);
    std::string error;
    std::unique_ptr<hxhost::AudioReader> reader = hxhost::AudioReader::open(path, &error);
    ASSERT_TRUE(reader) << error;
    std::vector<float> all;
    std::vector<float> block(2 * 1000);
    for (int64_t got; (got = reader->read(block.data(), 1000)) > 0;)
        all.insert(all.end(), block.begin(), block.begin() + got * 2);
    EXPECT_EQ(reader->read(block.data(), 1000), 0);
    const size_t frames = all.size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), 48000.0, 48.0);
    float peak = 0;
    int crossings = 0;
    for (size_t i = 0; i < frames; ++i) {
        EXPECT_EQ(all[2 * i], all[2 * i + 1]) << i;
        peak = std::max(peak, std::fabs(all[2 * i]));
        if (i > 0 && (all[2 * i - 2] < 0) != (all[2 * i] < 0))
            ++crossings;
    }
    EXPECT_NEAR(peak, 0.5, 0.02);
    EXPECT_NEAR(crossings, 1000, 4); // 500 Hz for a second

    // The 16-bit reading is the same sound.
    std::unique_ptr<hxhost::AudioReader> again = hxhost::AudioReader::open(path);
    std::vector<int16_t> s16(2 * 2000);
    ASSERT_EQ(again->read(s16.data(), 2000), 2000);
    for (size_t i = 0; i < s16.size(); ++i)
        EXPECT_NEAR(s16[i], all[i] * 32767.0f, 1.0f) << i;
}

TEST_F(AudioFileTest, DecodingStopsAtItsLimit)
{
    Tone t;
    t.container = "ogg";
    t.seconds = 2.0;
    const std::string path = tone("long.ogg", t);
    std::vector<float> samples;
    std::string error;
    ASSERT_TRUE(hxhost::decodeAudio(path, samples, 0.5, &error)) << error;
    EXPECT_EQ(samples.size(), 2u * 24000);
    ASSERT_TRUE(hxhost::decodeAudio(path, samples, 60, &error)) << error;
    EXPECT_NEAR(samples.size() / 2.0, 96000.0, 48000 * 0.06);
}

TEST_F(AudioFileTest, AHeaderThatClaimsMoreThanTheFileHoldsIsNotBelieved)
{
    // Half a second of sound under a header claiming an hour.
    std::string data(2 * 2 * 8000 / 2, '\0');
    for (size_t i = 0; i < data.size(); i += 2)
        data[i + 1] = static_cast<char>(i % 64);
    writeFile(home() + "/liar.wav", wavBytes(2, 8000, 8000u * 4 * 3600, data));
    hxhost::AudioInfo info;
    std::string error;
    ASSERT_TRUE(hxhost::probeAudio(home() + "/liar.wav", &info, &error)) << error;
    EXPECT_NEAR(info.seconds, 0.5, 0.01);
    std::vector<float> samples;
    ASSERT_TRUE(hxhost::decodeAudio(home() + "/liar.wav", samples, 3600, &error)) << error;
    EXPECT_NEAR(samples.size() / 2.0, 24000.0, 48.0);
}

TEST_F(AudioFileTest, BrokenAndForeignFilesFailClearly)
{
    Tone t;
    t.container = "flac";
    const std::string good = tone("good.flac", t);
    const std::string bytes = readFile(good);
    writeFile(home() + "/empty.wav", "");
    writeFile(home() + "/noise.mp3", std::string(5000, '\x5a'));
    writeFile(home() + "/header-only.flac", bytes.substr(0, 60));
    writeFile(home() + "/no-channels.wav", wavBytes(0, 8000, 400, std::string(400, '\0')));
    writeFile(home() + "/no-rate.wav", wavBytes(1, 0, 400, std::string(400, '\0')));
    writeFile(home() + "/clip.y4m", "YUV4MPEG2 W4 H2 F25:1 Ip A1:1 C444\nFRAME\n" + std::string(24, '\x80'));
    std::filesystem::create_directories(home() + "/folder.wav");
    for (const char* name : {"missing.wav", "empty.wav", "noise.mp3", "header-only.flac", "no-channels.wav",
                             "no-rate.wav", "clip.y4m", "folder.wav"}) {
        const std::string path = home() + "/" + name;
        hxhost::AudioInfo info;
        info.seconds = -1;
        std::string error;
        EXPECT_FALSE(hxhost::probeAudio(path, &info, &error)) << name;
        EXPECT_NE(error.find(path), std::string::npos) << name << ": " << error;
        EXPECT_EQ(info.seconds, -1) << name;
        EXPECT_EQ(hxhost::AudioReader::open(path), nullptr) << name;
        std::vector<float> samples(3, 1.0f);
        EXPECT_FALSE(hxhost::decodeAudio(path, samples, 10)) << name;
        EXPECT_TRUE(samples.empty()) << name;
    }
    EXPECT_FALSE(hxhost::probeAudio("", nullptr));
}

TEST_F(AudioFileTest, ARelativeNameWithAColonIsStillALocalFile)
{
    Tone t;
    tone("http:jingle.wav", t);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(home());
    hxhost::AudioInfo info;
    std::string error;
    const bool probed = hxhost::probeAudio("http:jingle.wav", &info, &error);
    std::filesystem::current_path(before);
    EXPECT_TRUE(probed) << error;
}

} // namespace
