// hximp: image filter graphs described by text. This host understands one filter, "pad", which
// places each format-7 picture at (x, y) on a larger canvas of video black.
#include "host/hximp.h"

#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <charconv>
#include <cstring>
#include <deque>
#include <map>
#include <new>
#include <string_view>

struct ImpFilter {
    int32_t inputWidth = 0, inputHeight = 0;
    int32_t width = 0, height = 0, x = 0, y = 0;
    std::deque<OpImage*> ready; // padded pictures not yet fetched, owned by the filter
};

namespace {

constexpr int32_t kMaxSide = 32767;

// "pad=width=W:height=H:x=X:y=Y": keys in any order, each once; x and y default to 0.
bool parsePad(std::string_view text, ImpFilter& filter)
{
    constexpr std::string_view prefix = "pad=";
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    std::map<std::string_view, int32_t> values;
    while (true) {
        const size_t end = std::min(text.find(':'), text.size());
        const std::string_view option = text.substr(0, end);
        const size_t equals = option.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view key = option.substr(0, equals), number = option.substr(equals + 1);
        if (key != "width" && key != "height" && key != "x" && key != "y")
            return false;
        int32_t value = 0;
        const auto [last, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || error != std::errc() || last != number.data() + number.size() || !values.emplace(key, value).second)
            return false;
        if (end == text.size())
            break;
        text.remove_prefix(end + 1);
    }
    if (!values.count("width") || !values.count("height"))
        return false;
    filter.width = values["width"];
    filter.height = values["height"];
    filter.x = values["x"];
    filter.y = values["y"];
    return true;
}

bool geometryFits(const ImpFilter& f)
{
    return f.inputWidth > 0 && f.inputHeight > 0 && f.x >= 0 && f.y >= 0 && f.width <= kMaxSide && f.height <= kMaxSide &&
           static_cast<int64_t>(f.x) + f.inputWidth <= f.width && static_cast<int64_t>(f.y) + f.inputHeight <= f.height;
}

// Copies `rows` rows of `bytes` each into the canvas plane at (left, top).
void place(const uint8_t* from, size_t fromStride, int32_t rows, size_t bytes, uint8_t* to, size_t toStride,
           int32_t left, int32_t top)
{
    for (int32_t r = 0; r < rows; ++r)
        std::memcpy(to + static_cast<size_t>(top + r) * toStride + static_cast<size_t>(left),
                    from + static_cast<size_t>(r) * fromStride, bytes);
}

} // namespace

extern "C" {

ImpFilter* imp_filter_create(const ImpFilterParams* params, const char* description) HX_ENTRY
{
    if (hx::shouldFail("imp_filter_create") || !params || !description || params->size != sizeof(ImpFilterParams))
        return nullptr;
    auto* filter = new (std::nothrow) ImpFilter;
    if (!filter)
        return nullptr;
    filter->inputWidth = params->width;
    filter->inputHeight = params->height;
    if (!parsePad(description, *filter) || !geometryFits(*filter)) {
        delete filter;
        return nullptr;
    }
    return filter;
}
HX_ENTRY_FAILS(nullptr)

int32_t imp_filter_put_frame(ImpFilter* filter, const OpImage* frame, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("imp_filter_put_frame") || !filter || !hx::isLiveImage(frame) || !frame->planes[0] ||
        frame->format != OP_FORMAT_YUV420 || frame->width != filter->inputWidth || frame->height != filter->inputHeight)
        return -1;
    OpImage* canvas = hx::newImage(filter->width, filter->height, OP_FORMAT_YUV420);
    if (!canvas)
        return -1;
    canvas->aspect = frame->aspect;
    const size_t cw = static_cast<size_t>(hx::halfUp(canvas->width));
    std::memset(canvas->planes[0], 16, static_cast<size_t>(canvas->width) * static_cast<size_t>(canvas->height));
    std::memset(canvas->planes[1], 128, 2 * cw * static_cast<size_t>(hx::halfUp(canvas->height)));
    // Chroma goes to the 2 x 2 block that holds the picture's top-left pixel.
    const size_t fw = static_cast<size_t>(frame->width), fcw = static_cast<size_t>(hx::halfUp(frame->width));
    place(frame->planes[0], fw, frame->height, fw, canvas->planes[0], static_cast<size_t>(canvas->width), filter->x, filter->y);
    const int32_t chromaRows = std::min(hx::halfUp(frame->height), hx::halfUp(canvas->height) - filter->y / 2);
    const size_t chromaBytes = std::min(fcw, cw - static_cast<size_t>(filter->x / 2));
    for (int plane = 1; plane <= 2; ++plane)
        place(frame->planes[plane], fcw, chromaRows, chromaBytes, canvas->planes[plane], cw, filter->x / 2, filter->y / 2);
    filter->ready.push_back(canvas);
    return 0;
}
HX_ENTRY_FAILS(-1)

OpImage* imp_filter_get_frame(ImpFilter* filter, uint32_t) HX_ENTRY
{
    if (hx::shouldFail("imp_filter_get_frame") || !filter || filter->ready.empty())
        return nullptr;
    OpImage* frame = filter->ready.front();
    filter->ready.pop_front();
    return frame;
}
HX_ENTRY_FAILS(nullptr)

void imp_filter_destroy(ImpFilter* filter) HX_ENTRY
{
    hx::countCall("imp_filter_destroy");
    if (!filter)
        return;
    for (OpImage* frame : filter->ready)
        hx::freeImage(frame);
    delete filter;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
