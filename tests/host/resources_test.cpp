// String and image catalogues and the host's language list.
#include "host/hxres.h"
#include "host/hxtext.h"
#include "support/test_home.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

class ResourcesTest : public HostTest {
protected:
    void TearDown() override
    {
        hxhost::setResourceRoot(""); // survives reset(): back to the installed catalogues
        HostTest::TearDown();
    }

    // A catalogue directory "<home>/resources/<name>" made the resource root's program `name`.
    std::string catalogue(const std::string& name)
    {
        const std::string root = home() + "/resources";
        std::filesystem::create_directories(root + "/" + name + "/images");
        hxhost::setResourceRoot(root);
        return root + "/" + name;
    }
};

void putU32BE(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

uint32_t crc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putChunk(std::string& png, const char* type, const std::string& data)
{
    putU32BE(png, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    png += body;
    putU32BE(png, crc32(body));
}

// An 8-bit RGBA PNG with one row of `rgba` pixels, compressed with a stored deflate block.
std::string rgbaPng(const std::vector<uint32_t>& rgba)
{
    std::string raw(1, '\0'); // filter: none
    for (uint32_t p : rgba)
        putU32BE(raw, p);
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    const auto length = static_cast<uint16_t>(raw.size());
    std::string zlib = {'\x78', '\x01', '\x01', static_cast<char>(length & 0xFF), static_cast<char>(length >> 8),
                        static_cast<char>(~length & 0xFF), static_cast<char>((~length >> 8) & 0xFF)};
    zlib += raw;
    putU32BE(zlib, (b << 16) | a);

    std::string header;
    putU32BE(header, static_cast<uint32_t>(rgba.size()));
    putU32BE(header, 1);
    header += std::string{8, 6, 0, 0, 0}; // 8 bits, RGBA, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", "");
    return png;
}

TEST_F(ResourcesTest, InstalledStringCatalogue)
{
    ResStrings* strings = resLoadStrings("stillset");
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 1);
    EXPECT_EQ(std::u16string(resGetString(strings, 10)), u"Stillset");

    const std::u16string notice = resGetString(strings, 1500);
    EXPECT_NE(notice.find(u'\n'), std::u16string::npos); // "\n" in the file is a line break
    EXPECT_EQ(notice.find(u'\\'), std::u16string::npos);

    hxchar title[64];
    sxprintf(title, resGetString(strings, 410), 1L, 1L);
    EXPECT_EQ(std::u16string(title), u"Stillset 1.1");

    const hxchar* missing = resGetString(strings, 99999);
    EXPECT_EQ(std::u16string(missing), u"#99999");
    EXPECT_EQ(std::u16string(resGetString(strings, 7)), u"#7");
    EXPECT_EQ(std::u16string(missing), u"#99999"); // still valid after other look-ups

    resFreeStrings(strings);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 0);
    EXPECT_EQ(resLoadStrings("no-such-program"), nullptr);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 0);
}

TEST_F(ResourcesTest, CatalogueFormat)
{
    const std::string directory = catalogue("mine");
    writeFile(directory + "/strings.txt", "# comment\n\n5\tA\\tB\\\\C\\nD\r\n6\t\n7\tGrüße\n");
    ResStrings* strings = resLoadStrings("mine");
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(std::u16string(resGetString(strings, 5)), u"A\tB\\C\nD");
    EXPECT_EQ(std::u16string(resGetString(strings, 6)), u"");
    EXPECT_EQ(std::u16string(resGetString(strings, 7)), u"Grüße");
    resFreeStrings(strings);

    for (const char* bad : {"5\tfine\nabc\tText\n", "5 no tab\n", "\tno number\n", "-5\tnegative\n",
                            "5x\ttrailing\n", "99999999999\ttoo large\n"}) {
        SCOPED_TRACE(bad);
        writeFile(directory + "/strings.txt", bad);
        EXPECT_EQ(resLoadStrings("mine"), nullptr);
    }
    EXPECT_EQ(hxhost::liveCounts().catalogues, 0);
}

TEST_F(ResourcesTest, InjectedFaultFailsOneLoad)
{
    hxhost::failService("resLoadStrings");
    EXPECT_EQ(resLoadStrings("stillset"), nullptr);
    ResStrings* strings = resLoadStrings("stillset");
    EXPECT_NE(strings, nullptr);
    resFreeStrings(strings);

    hxhost::failService("resLoadImages");
    EXPECT_EQ(resLoadImages("stillset"), nullptr);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 0);
}

TEST_F(ResourcesTest, InstalledImageCatalogue)
{
    ResImages* images = resLoadImages("stillset");
    ASSERT_NE(images, nullptr);
    const ResImage* crop = resGetImage(images, 20);
    ASSERT_NE(crop, nullptr);
    EXPECT_TRUE(crop->width > 0 && crop->height > 0 && crop->pixels);
    EXPECT_EQ(resGetImage(images, 99999), nullptr);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 1);
    resFreeImages(images);
    EXPECT_EQ(hxhost::liveCounts().catalogues, 0);
}

TEST_F(ResourcesTest, ImagePixelsAreArgbWords)
{
    const std::string directory = catalogue("icons");
    writeFile(directory + "/images.txt", "# icons\n3\ttwo.png\n4\tmissing.png\n");
    writeFile(directory + "/images/two.png", rgbaPng({0x11223380u, 0xFF0000FFu, 0x00FF0000u}));

    ResImages* images = resLoadImages("icons");
    ASSERT_NE(images, nullptr);
    const ResImage* icon = resGetImage(images, 3);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->width, 3);
    ASSERT_EQ(icon->height, 1);
    EXPECT_EQ(icon->pixels[0], 0x80112233u);
    EXPECT_EQ(icon->pixels[1], 0xFFFF0000u);
    EXPECT_EQ(icon->pixels[2] >> 24, 0u); // fully transparent
    EXPECT_EQ(resGetImage(images, 4), nullptr); // listed, but the file is missing
    resFreeImages(images);

    writeFile(directory + "/images.txt", "three\ttwo.png\n");
    EXPECT_EQ(resLoadImages("icons"), nullptr);
}

TEST_F(ResourcesTest, TextIconsAreReadKeyByKey)
{
    const std::string directory = catalogue("icons");
    writeFile(directory + "/images.txt", "5\tgood.icon\n6\tshort.icon\n7\tunknown.icon\n8\thuge.icon\n");
    writeFile(directory + "/images/good.icon", "# two by two\nicon 2 2\n.. 00000000\nab FF102030\nrows\nab..\n..ab\n");
    writeFile(directory + "/images/short.icon", "icon 2 2\nab FF102030\nrows\nabab\nab\n");
    writeFile(directory + "/images/unknown.icon", "icon 1 1\nab FF102030\nrows\ncd\n");
    writeFile(directory + "/images/huge.icon", "icon 60000 60000\nrows\n");
    ResImages* images = resLoadImages("icons");
    ASSERT_NE(images, nullptr);
    const ResImage* good = resGetImage(images, 5);
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->width, 2);
    EXPECT_EQ(good->pixels[0], 0xFF102030u);
    EXPECT_EQ(good->pixels[1], 0u);
    EXPECT_EQ(good->pixels[3], 0xFF102030u);
    for (int32_t broken : {6, 7, 8})
        EXPECT_EQ(resGetImage(images, broken), nullptr) << broken;
    resFreeImages(images);
}

TEST_F(ResourcesTest, LanguageListOffersTheGridDragOption)
{
    ASSERT_NE(resLangListbegin, nullptr);
    bool found = false;
    for (auto* language = static_cast<ResLanguage*>(ListFirst(resLangListbegin)); language;
         language = static_cast<ResLanguage*>(ListNext(language))) {
        ASSERT_NE(language->options, nullptr);
        for (auto* option = static_cast<ResLangOption*>(ListFirst(language->options)); option;
             option = static_cast<ResLangOption*>(ListNext(option)))
            found = found || option->id == 245123223u;
    }
    EXPECT_TRUE(found);
}

} // namespace
