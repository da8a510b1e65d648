// Image catalogues inside the host: their images, and the scaled copies made of them on request.
#ifndef HX_RESOURCE_CATALOGUES_H
#define HX_RESOURCE_CATALOGUES_H

#include "host/hxres.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

struct ResImages {
    struct Stored {
        ResImage image{};
        std::vector<uint32_t> pixels;
    };
    std::map<int32_t, Stored> images;
    // Scaled copies by (number, width, height); they live as long as the catalogue.
    std::map<std::tuple<int32_t, int32_t, int32_t>, Stored> scaled;

    static ResImage* store(Stored& stored, int32_t width, int32_t height, std::vector<uint32_t> pixels)
    {
        stored.pixels = std::move(pixels);
        stored.image = ResImage{};
        stored.image.width = static_cast<uint16_t>(width);
        stored.image.height = static_cast<uint16_t>(height);
        stored.image.pixels = stored.pixels.data();
        return &stored.image;
    }
    ResImage* add(int32_t number, int32_t width, int32_t height, std::vector<uint32_t> pixels)
    {
        return store(images[number], width, height, std::move(pixels));
    }
};

namespace hx {

// A program's image catalogue from "<resource root>/<name>/images.txt"; null when the index is
// missing or malformed. Neither counted as handed out nor subject to injected faults.
std::unique_ptr<ResImages> loadImageCatalogue(const std::string& name);

} // namespace hx

#endif
