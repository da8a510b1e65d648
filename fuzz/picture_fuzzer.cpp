// One reader of still pictures over any bytes, chosen when the target is built: FUZZ_STILL_IMPORT
// for the whole import of a file (known by its content, decoded, turned upright), or FUZZ_DECODER
// for one format's decoder alone. A picture decodes within the limit or is refused with a reason.
#include "image/decode/picture_decoders.h"
#include "image/decode/still_decode.h"

#include <cstdlib>

namespace {

// Small enough that a hostile header cannot make each run slow, large enough for real pictures.
constexpr size_t kMaxPixels = size_t(1) << 18;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Lower limits for some sizes, so that small pictures take the reduced reads too.
    const size_t maxPixels = kMaxPixels >> (size % 3 * 5);
#if defined(FUZZ_STILL_IMPORT)
    // Odd sizes take the folder import's small JPEG decode, even ones the full decode.
    const hx::DecodedStill decoded = hx::decodeStillBytes(bytes, "fuzz", size % 4 == 2, maxPixels, size % 2 == 1);
    if (decoded.still ? decoded.still->width <= 0 || decoded.still->height <= 0 : decoded.error.empty())
        std::abort();
    // A small copy knows the picture it stands for, turned as it is, and is no larger than it.
    if (decoded.still && decoded.reduced &&
        (decoded.fullWidth < decoded.still->width || decoded.fullHeight < decoded.still->height ||
         decoded.fullWidth > 32767 || decoded.fullHeight > 32767))
        std::abort();
#else
    hx::Raster raster;
    std::string error;
    const hx::VideoYuv yuv(false);
    if (FUZZ_DECODER(bytes, yuv, maxPixels, raster, error)
            ? static_cast<uint64_t>(raster.width) * static_cast<uint64_t>(raster.height) > maxPixels || !raster.pixels
            : error.empty())
        std::abort();
#endif
    return 0;
}
