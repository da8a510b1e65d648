// WAV files with known lengths, written by the tests that need a sound.
#ifndef TESTS_SUPPORT_WAV_FILE_H
#define TESTS_SUPPORT_WAV_FILE_H

#include <cstdint>
#include <string>

// `samples` frames of silence at 48 kHz, mono, 16-bit.
inline std::string wavBytes(uint32_t samples)
{
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const uint32_t data = samples * 2;
    return "RIFF" + u32(36 + data) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(48000) + u32(96000) + u16(2) +
           u16(16) + "data" + u32(data) + std::string(data, '\0');
}

#endif
