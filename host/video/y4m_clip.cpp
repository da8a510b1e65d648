#include "video/y4m_clip.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

constexpr size_t kMaxHeaderBytes = 4096;
constexpr int32_t kMaxSide = 32767;

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// One line of at most kMaxHeaderBytes, without its newline; false at the end of the file or
// when no newline comes in time.
bool readLine(FILE* file, std::string& line)
{
    line.clear();
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n')
            return true;
        if (line.size() == kMaxHeaderBytes)
            return false;
        line += static_cast<char>(c);
    }
    return false;
}

bool parseInt(std::string_view text, int32_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool parseRatio(std::string_view text, int32_t& n, int32_t& d)
{
    const size_t colon = text.find(':');
    return colon != std::string_view::npos && parseInt(text.substr(0, colon), n) && parseInt(text.substr(colon + 1), d) &&
           n >= 0 && d >= 0;
}

bool parseHeader(std::string_view line, hx::Y4mClip& clip, std::string& error)
{
    constexpr std::string_view magic = "YUV4MPEG2";
    if (line.substr(0, magic.size()) != magic || (line.size() > magic.size() && line[magic.size()] != ' ')) {
        error = "not a YUV4MPEG2 file";
        return false;
    }
    line.remove_prefix(std::min(line.size(), magic.size() + 1));
    bool haveWidth = false, haveHeight = false;
    int32_t n = 0, d = 0;
    while (!line.empty()) {
        const size_t end = std::min(line.find(' '), line.size());
        const std::string_view token = line.substr(0, end), value = token.substr(std::min<size_t>(1, token.size()));
        bool ok = !token.empty();
        switch (ok ? token[0] : 0) {
        case 'W': ok = parseInt(value, clip.width) && clip.width > 0 && clip.width <= kMaxSide; haveWidth = true; break;
        case 'H': ok = parseInt(value, clip.height) && clip.height > 0 && clip.height <= kMaxSide; haveHeight = true; break;
        case 'F': ok = parseRatio(value, n, d) && n > 0 && d > 0; break;
        case 'A': ok = parseRatio(value, n, d); break; // 0:0 is an unknown aspect
        case 'I': ok = value == "p" || value == "t" || value == "b" || value == "?"; clip.interlace = ok ? value[0] : 'p'; break;
        case 'C':
            if (value == "444") {
                clip.chromaShiftX = clip.chromaShiftY = 0;
            } else if (value == "422") {
                clip.chromaShiftX = 1;
                clip.chromaShiftY = 0;
            } else if (value == "420" || value == "420jpeg" || value == "420paldv" || value == "420mpeg2") {
                clip.chromaShiftX = clip.chromaShiftY = 1;
            } else {
                error = "unsupported colour space C" + std::string(value) + " (8-bit 420, 422 or 444 only)";
                return false;
            }
            break;
        case 'X': break;
        default: ok = false; break;
        }
        if (!ok) {
            error = "bad header field '" + std::string(token) + "'";
            return false;
        }
        line.remove_prefix(std::min(line.size(), end + 1));
    }
    if (!haveWidth || !haveHeight) {
        error = "the header gives no width or height";
        return false;
    }
    return true;
}

} // namespace

namespace hx {

bool openY4m(const std::string& path, Y4mClip& clip, std::string& error)
{
    clip = Y4mClip{};
    clip.path = path;
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::string line;
    if (!file) {
        error = path + ": cannot open";
        return false;
    }
    if (!readLine(file.get(), line) || !parseHeader(line, clip, error)) {
        error = path + ": " + (error.empty() ? "no YUV4MPEG2 header" : error);
        return false;
    }
    const size_t w = static_cast<size_t>(clip.width), h = static_cast<size_t>(clip.height);
    const size_t cw = (w + clip.chromaShiftX) >> clip.chromaShiftX, ch = (h + clip.chromaShiftY) >> clip.chromaShiftY;
    clip.frameBytes = w * h + 2 * cw * ch;
    while (readLine(file.get(), line)) {
        if (line.substr(0, 5) != "FRAME" || (line.size() > 5 && line[5] != ' ')) {
            error = path + ": frame " + std::to_string(clip.frames.size()) + " has no FRAME header";
            return false;
        }
        const long offset = std::ftell(file.get());
        if (offset < 0 || std::fseek(file.get(), static_cast<long>(clip.frameBytes) - 1, SEEK_CUR) != 0 ||
            std::fgetc(file.get()) == EOF) {
            error = path + ": frame " + std::to_string(clip.frames.size()) + " is truncated";
            return false;
        }
        clip.frames.push_back(static_cast<uint64_t>(offset));
    }
    if (!line.empty() || !std::feof(file.get())) {
        error = path + ": unreadable data after frame " + std::to_string(clip.frames.size());
        return false;
    }
    if (clip.frames.empty()) {
        error = path + ": no frames";
        return false;
    }
    return true;
}

bool readY4mFrame(const Y4mClip& clip, int32_t frame, std::vector<uint8_t>& yuva, std::string& error)
{
    if (frame < 0 || static_cast<size_t>(frame) >= clip.frames.size()) {
        error = clip.path + ": no frame " + std::to_string(frame);
        return false;
    }
    File file(std::fopen(clip.path.c_str(), "rb"), &std::fclose);
    std::vector<uint8_t> planes(clip.frameBytes);
    if (!file || std::fseek(file.get(), static_cast<long>(clip.frames[static_cast<size_t>(frame)]), SEEK_SET) != 0 ||
        std::fread(planes.data(), 1, planes.size(), file.get()) != planes.size()) {
        error = clip.path + ": cannot read frame " + std::to_string(frame);
        return false;
    }
    const size_t w = static_cast<size_t>(clip.width), h = static_cast<size_t>(clip.height);
    const size_t cw = (w + clip.chromaShiftX) >> clip.chromaShiftX, ch = (h + clip.chromaShiftY) >> clip.chromaShiftY;
    const uint8_t* y = planes.data();
    const uint8_t* u = y + w * h;
    const uint8_t* v = u + cw * ch;
    yuva.resize(w * h * 4);
    uint8_t* out = yuva.data();
    for (size_t row = 0; row < h; ++row) {
        const size_t chromaRow = (row >> clip.chromaShiftY) * cw;
        for (size_t x = 0; x < w; ++x, out += 4) {
            const size_t c = chromaRow + (x >> clip.chromaShiftX);
            out[0] = 0xFF;
            out[1] = u[c];
            out[2] = v[c];
            out[3] = y[row * w + x];
        }
    }
    return true;
}

} // namespace hx
