// Little-endian fields of the host's binary files.
#ifndef HX_BYTE_IO_H
#define HX_BYTE_IO_H

#include <cstdint>
#include <string>

namespace hx {

inline void putU32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads a field at `offset` and advances it; false past the end.
inline bool getU32(const std::string& in, size_t& offset, uint32_t& value)
{
    if (offset > in.size() || in.size() - offset < 4)
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(in[offset + i])) << (8 * i);
    offset += 4;
    return true;
}

} // namespace hx

#endif
