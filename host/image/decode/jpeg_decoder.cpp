// JPEG through libjpeg-turbo. Colour comes out as the file's own Y Cb Cr, so libjpeg's conversion to
// RGB is skipped and one matrix takes it straight to the video's YUV.
#include "image/decode/colour_profile.h"
#include "image/decode/exif_orientation.h"
#include "image/decode/picture_decoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
#include <cstdlib>
#include <new>
#include <optional>
#include <vector>

namespace {

// Progressive files keep every coefficient in memory: 2 bytes per coefficient.
constexpr size_t kMaxDecoderMemory = 768u << 20;
constexpr int kRowsPerRead = 16;

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failDecode(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// A file that ends early is an error, not a picture padded with grey.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        failDecode(cinfo);
}

int orientationOf(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1) {
            const int orientation = hx::exifOrientation(marker->data, marker->data_length);
            if (orientation != 1)
                return orientation;
        }
    return 1;
}

size_t scaledPixels(const jpeg_decompress_struct& cinfo, unsigned denominator)
{
    return static_cast<size_t>((cinfo.image_width + denominator - 1) / denominator) *
           ((cinfo.image_height + denominator - 1) / denominator);
}

uint32_t longerSide(const jpeg_decompress_struct& cinfo, unsigned denominator)
{
    return (std::max(cinfo.image_width, cinfo.image_height) + denominator - 1) / denominator;
}

// The embedded profile (APP2 markers, in as many chunks as it takes), or empty.
std::string iccProfileOf(jpeg_decompress_struct& cinfo)
{
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (!jpeg_read_icc_profile(&cinfo, &data, &length) || !data)
        return {};
    std::string icc(reinterpret_cast<const char*>(data), length);
    std::free(data);
    return icc;
}

hx::SampleLayout layoutOf(const jpeg_decompress_struct& cinfo)
{
    switch (cinfo.out_color_space) {
    case JCS_GRAYSCALE: return hx::SampleLayout::Gray8;
    // Adobe's writers store CMYK inverted; they say so in their marker.
    case JCS_CMYK: return cinfo.saw_Adobe_marker ? hx::SampleLayout::InvertedCmyk8 : hx::SampleLayout::Cmyk8;
    default: return hx::SampleLayout::Rgb8;
    }
}

} // namespace

namespace hx {

bool decodeJpeg(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error,
                bool smallest)
{
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    std::vector<uint8_t> rows;
    // Everything with a destructor lives outside the stretch that libjpeg may jump out of.
    std::optional<VideoRows> video;
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = failDecode;
    errors.manager.emit_message = onMessage;
    jpeg_create_decompress(&cinfo);
    if (setjmp(errors.jump)) {
        error = std::string("corrupt or truncated JPEG: ") + errors.message;
        jpeg_destroy_decompress(&cinfo);
        raster.pixels.reset();
        return false;
    }
    cinfo.mem->max_memory_to_use = static_cast<long>(kMaxDecoderMemory);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    unsigned denominator = 1;
    while (denominator < 8 && scaledPixels(cinfo, denominator) > maxPixels)
        denominator *= 2;
    const size_t coefficientBytes = static_cast<size_t>(cinfo.image_width) * cinfo.image_height * 2 *
                                    static_cast<size_t>(cinfo.num_components);
    if (scaledPixels(cinfo, denominator) > maxPixels || (cinfo.progressive_mode && coefficientBytes > kMaxDecoderMemory)) {
        error = tooLarge(cinfo.image_width, cinfo.image_height, maxPixels);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    raster.orientation = orientationOf(cinfo);
    cinfo.scale_num = 1;
    cinfo.scale_denom = denominator;
    if (smallest) {
        jpeg_calc_output_dimensions(&cinfo);
        raster.fullWidth = static_cast<int32_t>(cinfo.output_width);
        raster.fullHeight = static_cast<int32_t>(cinfo.output_height);
        while (cinfo.scale_denom < 8 && longerSide(cinfo, cinfo.scale_denom * 2) >= kReducedSide)
            cinfo.scale_denom *= 2;
    }
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: cinfo.out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: cinfo.out_color_space = JCS_CMYK; break;
    case JCS_YCbCr: cinfo.out_color_space = JCS_YCbCr; break;
    default: cinfo.out_color_space = JCS_RGB; break;
    }
    video.emplace(yuv, layoutOf(cinfo), SrgbConversion(iccProfileOf(cinfo), layoutOf(cinfo), raster.note));
    // Y Cb Cr goes straight to the video's matrix unless a profile has to see RGB first.
    if (video->colourManaged() && cinfo.out_color_space == JCS_YCbCr)
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t width = cinfo.output_width, components = static_cast<size_t>(cinfo.output_components);
    raster.width = static_cast<int32_t>(cinfo.output_width);
    raster.height = static_cast<int32_t>(cinfo.output_height);
    raster.pixels = takeBytes(width * cinfo.output_height * 4);
    rows.resize(width * components * kRowsPerRead);
    if (!raster.pixels) {
        error = "no memory for a picture of " + std::to_string(width) + "x" + std::to_string(cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JSAMPROW pointers[kRowsPerRead];
    for (int r = 0; r < kRowsPerRead; ++r)
        pointers[r] = rows.data() + static_cast<size_t>(r) * width * components;
    while (cinfo.output_scanline < cinfo.output_height) {
        const size_t top = cinfo.output_scanline;
        const JDIMENSION read = jpeg_read_scanlines(&cinfo, pointers, kRowsPerRead);
        uint8_t* out = raster.pixels.get() + top * width * 4;
        if (cinfo.out_color_space == JCS_YCbCr)
            yuv.fromJpegYcc(rows.data(), out, width * read);
        else
            video->put(rows.data(), out, width * read);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace hx
