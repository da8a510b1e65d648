// HEIF through libheif: the primary image, with the file's rotation, mirror and crop, grids put
// together by the library. Colour from an ICC profile, or from the primaries an nclx box names.
#include "image/decode/colour_profile.h"
#include "image/decode/picture_decoders.h"
#include "image/decode/reduced_rows.h"

#include <algorithm>
#include <libheif/heif.h>
#include <mutex>

namespace {

// The library decodes the whole picture, whatever is kept of it: its samples may take this much.
constexpr uint64_t kMaxWholeDecodeBytes = 1ull << 30;

void startLibheif()
{
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

struct ContextRelease {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsRelease {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
struct NclxRelease {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};

bool failed(const heif_error& result, const char* what, std::string& error)
{
    if (result.code == heif_error_Ok)
        return false;
    error = std::string(what) + ": " + (result.message ? result.message : "unknown error");
    return true;
}

hx::SrgbConversion conversionOf(const heif_image_handle* handle, hx::SampleLayout layout, std::string& note)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        std::string icc(heif_image_handle_get_raw_color_profile_size(handle), '\0');
        if (icc.empty() || heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok) {
            note = "broken colour profile, taken as sRGB";
            return {};
        }
        return hx::SrgbConversion(icc, layout, note);
    }
    heif_color_profile_nclx* found = nullptr;
    if (type != heif_color_profile_type_nclx || heif_image_handle_get_nclx_color_profile(handle, &found).code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_color_profile_nclx, NclxRelease> nclx(found);
    if (nclx->color_primaries == heif_color_primaries_ITU_R_BT_709_5 || nclx->color_primaries == heif_color_primaries_unspecified)
        return {};
    const hx::Primaries primaries{{nclx->color_primary_red_x, nclx->color_primary_red_y},
                                  {nclx->color_primary_green_x, nclx->color_primary_green_y},
                                  {nclx->color_primary_blue_x, nclx->color_primary_blue_y},
                                  {nclx->color_primary_white_x, nclx->color_primary_white_y}};
    return hx::SrgbConversion(primaries, layout);
}

} // namespace

namespace hx {

bool decodeHeif(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error)
{
    startLibheif();
    const std::unique_ptr<heif_context, ContextRelease> context(heif_context_alloc());
    if (!context) {
        error = "no memory to read a HEIF file";
        return false;
    }
    if (failed(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr),
               "corrupt HEIF", error))
        return false;
    heif_image_handle* primary = nullptr;
    if (failed(heif_context_get_primary_image_handle(context.get(), &primary), "corrupt HEIF", error))
        return false;
    const std::unique_ptr<heif_image_handle, HandleRelease> handle(primary);
    // The stored picture is decoded whole before its crop, so both sizes count; over the limit it is
    // reduced after the library's decode, which must itself stay within its bound.
    const int64_t width = heif_image_handle_get_width(primary), height = heif_image_handle_get_height(primary);
    const int64_t storedWidth = heif_image_handle_get_ispe_width(primary), storedHeight = heif_image_handle_get_ispe_height(primary);
    if (width <= 0 || height <= 0) {
        error = "corrupt HEIF: no picture size";
        return false;
    }
    const auto largestWidth = static_cast<uint64_t>(std::max(width, storedWidth));
    const auto largestHeight = static_cast<uint64_t>(std::max(height, storedHeight));
    if (reductionFor(static_cast<uint64_t>(width), static_cast<uint64_t>(height), maxPixels) == 0 || largestWidth * largestHeight * 4 > kMaxWholeDecodeBytes) {
        error = tooLarge(largestWidth, largestHeight, maxPixels);
        return false;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(primary) != 0;
    const std::unique_ptr<heif_decoding_options, OptionsRelease> options(heif_decoding_options_alloc());
    if (!options) {
        error = "no memory to decode a HEIF picture";
        return false;
    }
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    if (failed(heif_decode_image(primary, &decoded, heif_colorspace_RGB,
                                 alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()),
               "corrupt or truncated HEIF", error))
        return false;
    const std::unique_ptr<heif_image, ImageRelease> image(decoded);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int32_t w = heif_image_get_width(decoded, heif_channel_interleaved);
    const int32_t h = heif_image_get_height(decoded, heif_channel_interleaved);
    const int factor = reductionFor(static_cast<uint64_t>(std::max(w, 0)), static_cast<uint64_t>(std::max(h, 0)), maxPixels);
    if (!plane || w <= 0 || h <= 0 || factor == 0 || static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > largestWidth * largestHeight ||
        heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8) {
        error = "corrupt HEIF: the decoded picture is not what the file describes";
        return false;
    }
    const size_t reducedWidth = reducedSide(static_cast<uint64_t>(w), factor);
    const size_t reducedHeight = reducedSide(static_cast<uint64_t>(h), factor);
    raster.pixels = takeBytes(reducedWidth * reducedHeight * 4);
    if (!raster.pixels) {
        error = "no memory for a picture of " + std::to_string(reducedWidth) + "x" + std::to_string(reducedHeight);
        return false;
    }
    const SampleLayout layout = alpha ? SampleLayout::Rgba8 : SampleLayout::Rgb8;
    VideoRows video(yuv, layout, conversionOf(primary, layout, raster.note));
    RowReducer reducer(static_cast<uint32_t>(w), static_cast<uint32_t>(h), factor, alpha ? 4 : 3, video, raster.pixels.get());
    for (int32_t y = 0; y < h; ++y)
        reducer.put(plane + static_cast<ptrdiff_t>(y) * stride);
    raster.width = static_cast<int32_t>(reducedWidth);
    raster.height = static_cast<int32_t>(reducedHeight);
    raster.orientation = 1;
    return true;
}

} // namespace hx
