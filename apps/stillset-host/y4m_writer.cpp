#include "y4m_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// The sample aspect in thousandths as the smallest ratio that rounds to it: 1067 is 16:15.
std::pair<int, int> smallRatio(int thousandths)
{
    for (int denominator = 1;; ++denominator) {
        const auto numerator = static_cast<int>(std::lround(thousandths * denominator / 1000.0));
        if (std::abs(numerator * 1000 - thousandths * denominator) * 2 <= denominator)
            return {numerator, denominator};
    }
}

} // namespace

Y4mWriter::~Y4mWriter()
{
    opFreeImage(pending_);
    if (file_) {
        std::fclose(file_);
        std::remove(temporary_.c_str());
    }
}

bool Y4mWriter::open(const std::string& path, const hxhost::VideoFormat& format, bool bottomFirst, std::string& error)
{
    path_ = path;
    temporary_ = path + ".partial";
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) {
        error = "cannot write " + temporary_;
        return false;
    }
    bottomFirst_ = bottomFirst;
    const auto [numerator, denominator] = smallRatio(format.pixelAspect);
    const int rate = format.fractionalRate ? 1000 * format.framesPerSecond : format.framesPerSecond;
    std::fprintf(file_, "YUV4MPEG2 W%d H%d F%d:%d I%c A%d:%d C420jpeg\n", format.width, format.height, rate,
                 format.fractionalRate ? 1001 : 1, format.progressive ? 'p' : bottomFirst ? 'b' : 't', numerator, denominator);
    return true;
}

bool Y4mWriter::addField(OpImage* field, std::string& error)
{
    if (!pending_) {
        pending_ = field;
        return true;
    }
    // The first field in time holds the odd rows when the bottom field comes first.
    OpImage* first = pending_;
    pending_ = nullptr;
    return bottomFirst_ ? writeFrame(field, first, error) : writeFrame(first, field, error);
}

bool Y4mWriter::writeFrame(OpImage* topField, OpImage* bottomField, std::string& error)
{
    const int32_t width = topField->width, height = 2 * topField->height;
    const bool matching = width % 2 == 0 && topField->format == OP_FORMAT_YUVA && bottomField->format == OP_FORMAT_YUVA &&
                          bottomField->width == width && bottomField->height == topField->height;
    if (!matching) {
        opFreeImage(topField);
        opFreeImage(bottomField);
        error = "the fields of a frame do not match";
        return false;
    }
    // Frame row r is row r / 2 of the top field when r is even, of the bottom field when odd.
    auto row = [&](int32_t r) {
        const OpImage* field = r % 2 ? bottomField : topField;
        return field->planes[0] + static_cast<size_t>(r / 2) * static_cast<size_t>(width) * 4;
    };
    const size_t luma = static_cast<size_t>(width) * height, cw = static_cast<size_t>(width / 2);
    planes_.resize(luma + 2 * cw * static_cast<size_t>(height / 2));
    uint8_t* y = planes_.data();
    uint8_t* u = y + luma;
    uint8_t* v = u + cw * static_cast<size_t>(height / 2);
    for (int32_t r = 0; r < height; ++r) {
        const uint8_t* p = row(r);
        for (int32_t x = 0; x < width; ++x)
            *y++ = p[4 * x + 3];
    }
    // Chroma of each 2 x 2 block: two neighbouring pixels from each field.
    for (int32_t r = 0; r < height; r += 2) {
        const uint8_t* a = row(r);
        const uint8_t* b = row(r + 1);
        for (size_t x = 0; x < cw; ++x, a += 8, b += 8) {
            *u++ = static_cast<uint8_t>((a[1] + a[5] + b[1] + b[5] + 2) >> 2);
            *v++ = static_cast<uint8_t>((a[2] + a[6] + b[2] + b[6] + 2) >> 2);
        }
    }
    opFreeImage(topField);
    opFreeImage(bottomField);
    if (std::fputs("FRAME\n", file_) < 0 || std::fwrite(planes_.data(), 1, planes_.size(), file_) != planes_.size()) {
        error = "cannot write " + temporary_;
        return false;
    }
    ++frames_;
    return true;
}

bool Y4mWriter::finish(std::string& error)
{
    const bool flushed = std::fflush(file_) == 0 && std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        std::remove(temporary_.c_str());
        error = "cannot write " + path_;
        return false;
    }
    return true;
}
