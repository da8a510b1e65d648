#include "text/text_icon.h"

#include "runtime/atomic_file.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace hx {

bool readTextIcon(const std::string& path, ArgbPicture& picture, size_t maxPixels, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = path + ": " + why;
        return false;
    };
    std::string bytes;
    if (!readWholeFile(path, bytes, 4u << 20))
        return fail("cannot read");
    std::istringstream lines(bytes);
    std::string line;
    auto next = [&]() {
        while (std::getline(lines, line))
            if (!line.empty() && line[0] != '#')
                return true;
        return false;
    };
    long width = 0, height = 0;
    if (!next() || std::sscanf(line.c_str(), "icon %ld %ld", &width, &height) != 2 || width <= 0 || height <= 0 ||
        static_cast<size_t>(width) * static_cast<size_t>(height) > maxPixels)
        return fail("no plausible 'icon W H' line");
    std::map<std::string, uint32_t> colours;
    while (next() && line != "rows") {
        char* end = nullptr;
        const unsigned long colour = line.size() == 11 && line[2] == ' ' ? std::strtoul(line.c_str() + 3, &end, 16) : 0;
        if (!end || *end)
            return fail("bad colour line '" + line + "'");
        colours[line.substr(0, 2)] = static_cast<uint32_t>(colour);
    }
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (long y = 0; y < height; ++y) {
        if (!next() || line.size() != static_cast<size_t>(2 * width))
            return fail("row " + std::to_string(y + 1) + " is missing or not " + std::to_string(width) + " keys long");
        for (long x = 0; x < width; ++x) {
            auto colour = colours.find(line.substr(static_cast<size_t>(2 * x), 2));
            if (colour == colours.end())
                return fail("row " + std::to_string(y + 1) + " uses a key without a colour");
            pixels.push_back(colour->second);
        }
    }
    picture.width = static_cast<int32_t>(width);
    picture.height = static_cast<int32_t>(height);
    picture.pixels = std::move(pixels);
    return true;
}

} // namespace hx
