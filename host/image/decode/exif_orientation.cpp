#include "image/decode/exif_orientation.h"

#include <cstring>

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr uint16_t kLongType = 4;
constexpr uint16_t kSignedLongType = 9;

struct TiffReader {
    const uint8_t* data;
    size_t size;
    bool bigEndian;

    bool u16(size_t at, uint16_t& value) const
    {
        if (at > size || size - at < 2)
            return false;
        value = bigEndian ? static_cast<uint16_t>(data[at] << 8 | data[at + 1]) : static_cast<uint16_t>(data[at + 1] << 8 | data[at]);
        return true;
    }
    bool u32(size_t at, uint32_t& value) const
    {
        uint16_t a = 0, b = 0;
        if (!u16(at, a) || !u16(at + 2, b))
            return false;
        value = bigEndian ? (uint32_t(a) << 16 | b) : (uint32_t(b) << 16 | a);
        return true;
    }
};

} // namespace

namespace hx {

int exifOrientation(const uint8_t* data, size_t size)
{
    constexpr size_t kExifHeader = 6;
    if (!data || size < kExifHeader + 8 || std::memcmp(data, "Exif\0\0", kExifHeader) != 0)
        return 1;
    const uint8_t* tiff = data + kExifHeader;
    TiffReader reader{tiff, size - kExifHeader, false};
    if (std::memcmp(tiff, "MM\0*", 4) == 0)
        reader.bigEndian = true;
    else if (std::memcmp(tiff, "II*\0", 4) != 0)
        return 1;
    uint32_t directory = 0;
    uint16_t entries = 0;
    if (!reader.u32(4, directory) || !reader.u16(directory, entries))
        return 1;
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = static_cast<size_t>(directory) + 2 + 12 * static_cast<size_t>(i);
        uint16_t tag = 0, type = 0;
        uint32_t count = 0;
        if (!reader.u16(entry, tag) || !reader.u16(entry + 2, type) || !reader.u32(entry + 4, count))
            return 1;
        if (tag != kOrientationTag)
            continue;
        // Some cameras store the value as a 32-bit LONG or SLONG; a negative SLONG is out of range too.
        uint32_t value = 0;
        uint16_t shortValue = 0;
        bool read = false;
        if (type == kShortType) {
            read = reader.u16(entry + 8, shortValue);
            value = shortValue;
        } else if (type == kLongType || type == kSignedLongType) {
            read = reader.u32(entry + 8, value);
        }
        return read && count == 1 && value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

} // namespace hx
