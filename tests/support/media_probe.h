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
    std::string fieldOrder; // "tt", "bb", "progressive" or "unknown"
    int64_t videoFrames = 0; // frames decoded
    bool framesInterlaced = false; // every decoded frame says it is interlaced
    bool topFieldFirst = false;
    int audioRate = 0, audioChannels = 0;
    double audioSeconds = 0; // decoded samples / rate
    double durationSeconds = 0; // the container's
};

// Decodes every stream of the file.
MediaInfo probeMedia(const std::string& path);

// The decoded sound, first channel, as floats in [-1, 1].
std::vector<float> decodedSound(const std::string& path);

// The decoded pictures as 4:2:0 planes (Y, then U, then V), one vector a frame.
std::vector<std::vector<uint8_t>> decodedFrames(const std::string& path);

#endif
