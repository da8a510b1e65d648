// Video files read back through the FFmpeg libraries, as a player would see them.
#ifndef TESTS_SUPPORT_MEDIA_PROBE_H
#define TESTS_SUPPORT_MEDIA_PROBE_H

#include <cstdint>
#include <string>
#include <vector>

struct MediaInfo {
    bool opened = false;
    std::string videoCodec, audioCodec;
    int width = 0, height = 0;
    int rateNumerator = 0, rateDenominator = 0;
    int aspectNumerator = 0, aspectDenominator = 0;
    int timeBaseNumerator = 0, timeBaseDenominator = 0; // the video stream's
    std::string fieldOrder; // "tt", "bb", "progressive" or "unknown"
    std::string pixelFormat, colourPrimaries, colourTransfer, colourSpace; // FFmpeg's names: "yuv420p", "bt709"
    std::string profile;    // "High", "Main"...
    int level = 0;          // H.264's level times ten (41 is 4.1)
    std::string codecTag;   // the container's four letters: "avc1", "hvc1"
    int64_t interlacedFrames = 0; // decoded frames that say they are interlaced
    int64_t videoFrames = 0; // frames decoded
    bool framesInterlaced = false; // every decoded frame says it is interlaced
    bool topFieldFirst = false;
    int audioRate = 0, audioChannels = 0;
    double audioSeconds = 0; // decoded samples / rate
    double durationSeconds = 0; // the container's
};

// Decodes every stream of the file.
MediaInfo probeMedia(const std::string& path);

// The names of an MP4 file's top-level boxes in order ("ftyp", "moov", "mdat"...).
std::vector<std::string> topLevelBoxes(const std::string& path);

// Frames of 4:2:0 planes (as decodedFrames gives them) whose luma shows combing: more than one in a
// thousand samples stand out from both rows beside them in the same direction, as two instants
// woven into one picture do on a moving edge.
int64_t combedFrames(const std::vector<std::vector<uint8_t>>& frames, int width, int height);

// The decoded sound, first channel, as floats in [-1, 1].
std::vector<float> decodedSound(const std::string& path);

// The decoded sound, left and right interleaved (a mono sound on both).
std::vector<float> decodedStereoSound(const std::string& path);

// The decoded pictures as 4:2:0 planes (Y, then U, then V), one vector a frame.
std::vector<std::vector<uint8_t>> decodedFrames(const std::string& path);

#endif
