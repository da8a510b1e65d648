// WebP through libwebp: the first frame (the whole picture of a still), its ICCP profile, alpha
// composited on black; the decoder scales while decoding when the picture is over the limit.
#include "image/decode/colour_profile.h"
#include "image/decode/picture_decoders.h"
#include "image/decode/reduced_rows.h"

#include <webp/decode.h>
#include <webp/demux.h>

namespace {

struct DemuxRelease {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

std::string iccProfileOf(const WebPDemuxer* demux)
{
    std::string icc;
    WebPChunkIterator chunk;
    if ((WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG) && WebPDemuxGetChunk(demux, "ICCP", 1, &chunk)) {
        icc.assign(reinterpret_cast<const char*>(chunk.chunk.bytes), chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return icc;
}

} // namespace

namespace hx {

bool decodeWebp(const std::string& bytes, const VideoYuv& yuv, size_t maxPixels, Raster& raster, std::string& error)
{
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    const std::unique_ptr<WebPDemuxer, DemuxRelease> demux(WebPDemux(&data));
    WebPIterator frame;
    if (!demux || !WebPDemuxGetFrame(demux.get(), 1, &frame)) {
        error = "corrupt or truncated WebP";
        return false;
    }
    const WebPData fragment = frame.fragment;
    WebPDemuxReleaseIterator(&frame);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) || WebPGetFeatures(fragment.bytes, fragment.size, &config.input) != VP8_STATUS_OK ||
        config.input.width <= 0 || config.input.height <= 0) {
        error = "corrupt WebP: unreadable frame header";
        return false;
    }
    const int width = config.input.width, height = config.input.height;
    const int denominator = reductionFor(static_cast<uint64_t>(width), static_cast<uint64_t>(height), maxPixels);
    if (denominator == 0) {
        error = tooLarge(static_cast<uint64_t>(width), static_cast<uint64_t>(height), maxPixels);
        return false;
    }
    const size_t w = reducedSide(static_cast<uint64_t>(width), denominator);
    const size_t h = reducedSide(static_cast<uint64_t>(height), denominator);
    const bool alpha = config.input.has_alpha != 0;
    const size_t channels = alpha ? 4 : 3;
    PooledBytes samples = takeBytes(w * h * channels);
    raster.pixels = takeBytes(w * h * 4);
    if (!samples || !raster.pixels) {
        error = "no memory for a picture of " + std::to_string(w) + "x" + std::to_string(h);
        raster.pixels.reset();
        return false;
    }
    if (denominator > 1) {
        config.options.use_scaling = 1;
        config.options.scaled_width = static_cast<int>(w);
        config.options.scaled_height = static_cast<int>(h);
    }
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = samples.get();
    config.output.u.RGBA.stride = static_cast<int>(w * channels);
    config.output.u.RGBA.size = w * h * channels;
    const VP8StatusCode status = WebPDecode(fragment.bytes, fragment.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        error = "corrupt or truncated WebP (status " + std::to_string(static_cast<int>(status)) + ")";
        raster.pixels.reset();
        return false;
    }
    const SampleLayout layout = alpha ? SampleLayout::Rgba8 : SampleLayout::Rgb8;
    VideoRows video(yuv, layout, SrgbConversion(iccProfileOf(demux.get()), layout, raster.note));
    for (size_t y = 0; y < h; ++y)
        video.put(samples.get() + y * w * channels, raster.pixels.get() + y * w * 4, w);
    raster.width = static_cast<int32_t>(w);
    raster.height = static_cast<int32_t>(h);
    raster.orientation = 1;
    return true;
}

} // namespace hx
