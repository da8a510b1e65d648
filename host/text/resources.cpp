// hxres: the string and image catalogues of a program, loaded from "<root>/<program>/", and the
// host's list of user-interface languages.
#include "host/hxres.h"

#include "image/png_io.h"
#include "runtime/atomic_file.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "runtime/install_paths.h"
#include "runtime/live_registry.h"
#include "text/resource_catalogues.h"
#include "text/text_icon.h"
#include "text/utf.h"
#include "hxhost/testing.h"

#include <cstdlib>
#include <map>
#include <sstream>

struct ResStrings {
    std::map<int32_t, std::u16string> texts;
    std::map<int32_t, std::u16string> placeholders; // "#<number>" for numbers the catalogue lacks
};

namespace {

template <typename Catalogue> void deleteCatalogue(Catalogue* catalogue)
{
    delete catalogue;
}

hx::LiveRegistry<ResStrings*>& liveStrings()
{
    static hx::LiveRegistry<ResStrings*> catalogues{&hxhost::LiveCounts::catalogues, hx::OnReset::Release,
                                                    deleteCatalogue<ResStrings>};
    return catalogues;
}

hx::LiveRegistry<ResImages*>& liveImageCatalogues()
{
    static hx::LiveRegistry<ResImages*> catalogues{&hxhost::LiveCounts::catalogues, hx::OnReset::Release,
                                                   deleteCatalogue<ResImages>};
    return catalogues;
}

constexpr size_t kMaxCatalogueBytes = 4u << 20;
constexpr size_t kMaxIconPixels = 1024 * 1024;

std::string catalogueDirectory(const char* name)
{
    return hx::resourceRoot() + "/" + name;
}

// Calls fn(number, rest) for each "NUMBER<TAB>REST" line; false when a line is malformed.
template <typename Fn> bool forEachEntry(const std::string& path, Fn fn)
{
    std::string bytes;
    if (!hx::readWholeFile(path, bytes, kMaxCatalogueBytes))
        return false;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0)
            return false;
        char* end = nullptr;
        const long number = std::strtol(line.c_str(), &end, 10);
        if (end != line.c_str() + tab || number < 0 || number > INT32_MAX)
            return false;
        fn(static_cast<int32_t>(number), line.substr(tab + 1));
    }
    return true;
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return out;
}

// The host's languages: English, whose options allow dragging photos in the slideshow tool's grid.
struct LanguageList {
    ListHead languages;
    ListHead englishOptions;
    ResLanguage english{};
    ResLangOption dragAndDrop{};

    LanguageList()
    {
        ListInit(&languages);
        ListInit(&englishOptions);
        dragAndDrop.id = 245123223;
        dragAndDrop.flags = 0;
        ListAppend(&englishOptions, &dragAndDrop);
        english.options = &englishOptions;
        ListAppend(&languages, &english);
    }
};

LanguageList& hostLanguages()
{
    static LanguageList list;
    return list;
}

} // namespace

namespace hx {

std::unique_ptr<ResImages> loadImageCatalogue(const std::string& name)
{
    auto catalogue = std::make_unique<ResImages>();
    const std::string directory = catalogueDirectory(name.c_str());
    const bool ok = forEachEntry(directory + "/images.txt", [&](int32_t number, const std::string& file) {
        hx::ArgbPicture picture;
        const std::string path = directory + "/images/" + file;
        const bool isText = file.size() > 5 && file.compare(file.size() - 5, 5, ".icon") == 0;
        if (!(isText ? hx::readTextIcon(path, picture, kMaxIconPixels, nullptr)
                     : hx::readPngArgb(path, picture, kMaxIconPixels, nullptr)))
            return; // a missing icon leaves its number without an image
        catalogue->add(number, picture.width, picture.height, std::move(picture.pixels));
    });
    return ok ? std::move(catalogue) : nullptr;
}

} // namespace hx

extern "C" {

ListHead* resLangListbegin = &hostLanguages().languages;

ResStrings* resLoadStrings(const char* name) HX_ENTRY
{
    if (hx::shouldFail("resLoadStrings") || !name)
        return nullptr;
    auto* catalogue = new ResStrings;
    const bool ok = forEachEntry(catalogueDirectory(name) + "/strings.txt", [&](int32_t number, const std::string& text) {
        catalogue->texts[number] = hx::utf8To16(unescape(text));
    });
    if (!ok) {
        delete catalogue;
        return nullptr;
    }
    liveStrings().add(catalogue);
    return catalogue;
}
HX_ENTRY_FAILS(nullptr)

const hxchar* resGetString(ResStrings* catalogue, int32_t number) HX_ENTRY
{
    hx::countCall("resGetString");
    if (!catalogue)
        return nullptr;
    auto it = catalogue->texts.find(number);
    if (it != catalogue->texts.end())
        return it->second.c_str();
    std::u16string& placeholder = catalogue->placeholders[number];
    placeholder = hx::utf8To16("#" + std::to_string(number));
    return placeholder.c_str();
}
HX_ENTRY_FAILS(nullptr)

void resFreeStrings(ResStrings* catalogue) HX_ENTRY
{
    hx::countCall("resFreeStrings");
    if (liveStrings().remove(catalogue))
        delete catalogue;
}
HX_ENTRY_FAILS_VOID

ResImages* resLoadImages(const char* name) HX_ENTRY
{
    if (hx::shouldFail("resLoadImages") || !name)
        return nullptr;
    ResImages* catalogue = hx::loadImageCatalogue(name).release();
    if (catalogue)
        liveImageCatalogues().add(catalogue);
    return catalogue;
}
HX_ENTRY_FAILS(nullptr)

ResImage* resGetImage(ResImages* catalogue, int32_t number) HX_ENTRY
{
    hx::countCall("resGetImage");
    if (!catalogue)
        return nullptr;
    auto it = catalogue->images.find(number);
    return it == catalogue->images.end() ? nullptr : &it->second.image;
}
HX_ENTRY_FAILS(nullptr)

void resFreeImages(ResImages* catalogue) HX_ENTRY
{
    hx::countCall("resFreeImages");
    if (liveImageCatalogues().remove(catalogue))
        delete catalogue;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
