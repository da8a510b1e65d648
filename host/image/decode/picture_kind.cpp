#include "image/decode/picture_kind.h"

#include <cstdint>
#include <cstring>

namespace {

bool startsWith(const std::string& bytes, size_t at, const char* text, size_t length)
{
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

uint32_t bigEndian32(const std::string& bytes, size_t at)
{
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data() + at);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// An ISO media file whose ftyp box names a HEIF brand, major or compatible.
bool isHeif(const std::string& bytes)
{
    static const char* const kBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis"};
    if (!startsWith(bytes, 4, "ftyp", 4))
        return false;
    const size_t boxEnd = bigEndian32(bytes, 0);
    if (boxEnd < 16 || boxEnd > bytes.size())
        return false;
    for (size_t at = 8; at + 4 <= boxEnd; at += at == 8 ? 8 : 4) // the minor version follows the major brand
        for (const char* brand : kBrands)
            if (startsWith(bytes, at, brand, 4))
                return true;
    return false;
}

} // namespace

namespace hx {

PictureKind pictureKindOf(const std::string& bytes)
{
    if (startsWith(bytes, 0, "\xFF\xD8\xFF", 3))
        return PictureKind::Jpeg;
    if (startsWith(bytes, 0, "\x89PNG\r\n\x1A\n", 8))
        return PictureKind::Png;
    if (startsWith(bytes, 0, "RIFF", 4) && startsWith(bytes, 8, "WEBP", 4))
        return PictureKind::Webp;
    // Classic and big TIFF, in either byte order.
    if (startsWith(bytes, 0, "II*\0", 4) || startsWith(bytes, 0, "MM\0*", 4) || startsWith(bytes, 0, "II+\0", 4) ||
        startsWith(bytes, 0, "MM\0+", 4))
        return PictureKind::Tiff;
    if (isHeif(bytes))
        return PictureKind::Heif;
    return PictureKind::Unknown;
}

} // namespace hx
