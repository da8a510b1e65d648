// Video clips in the scene bin: Y4M files checked strictly, and cmGetField reading the fields of
// the clip last asked for its reference frame.
#include "host/hxmotion.h"
#include "host/hxscenes.h"
#include "support/test_home.h"
#include "host/image_helpers.h"

namespace {

class VideoClipTest : public HostTest {
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        writeFile(home() + "/" + name, bytes);
        return home() + "/" + name;
    }
};

// A 4 x 2 frame: luma rows 10 + 20 * row + x, chroma planes as given.
std::string frame(const std::string& chroma)
{
    return "FRAME\n" + std::string("\x0A\x0B\x0C\x0D\x1E\x1F\x20\x21", 8) + chroma;
}

TEST_F(VideoClipTest, FieldsAreReadAtAbsoluteFieldNumbers)
{
    std::string error;
    const AVRecord clip = hxhost::addTestClip(6, 5, 4, hxhost::TestPattern::FieldCounter, 1, &error);
    ASSERT_NE(clip, 0u) << error;
    CmHandle* handle = cmOpen(0, 0);
    OpImage* even = opAllocImage(6, 3, OP_FORMAT_YUVA, 0);
    OpImage* odd = opAllocImage(6, 2, OP_FORMAT_YUVA, 0);
    EXPECT_EQ(cmGetField(handle, even, 0, 0), -1); // no clip asked for yet
    EXPECT_EQ(nslAVRecordGetReferenceFrame(clip), 1);
    for (int field = 0; field < 8; ++field) {
        OpImage* image = field % 2 ? odd : even;
        ASSERT_EQ(cmGetField(handle, image, field % 3 ? 0 : 2, field), 0) << field;
        EXPECT_EQ(yuvAt(image, 5, image->height - 1).y, 16 + field);
        EXPECT_EQ(yuvAt(image, 0, 0).u, 128);
    }
    // Another size is scaled to; what the clip lacks is refused.
    OpImage* pal = opAllocImage(-1, -1, OP_FORMAT_YUVA, OP_ALLOC_FIELD_SIZE);
    ASSERT_EQ(cmGetField(handle, pal, 2, 5), 0);
    EXPECT_EQ(yuvAt(pal, 719, 287).y, 21);
    OpImage* packed = opAllocImage(6, 3, OP_FORMAT_YC_PACKED, 0);
    EXPECT_EQ(cmGetField(handle, even, 0, 8), -1);
    EXPECT_EQ(cmGetField(handle, even, 0, -1), -1);
    EXPECT_EQ(cmGetField(handle, even, 1, 0), -1);
    EXPECT_EQ(cmGetField(handle, packed, 0, 0), -1);
    EXPECT_EQ(cmGetField(nullptr, even, 0, 0), -1);
    hxhost::failService("cmGetField");
    EXPECT_EQ(cmGetField(handle, even, 0, 0), -1);
    for (OpImage* image : {even, odd, pal, packed})
        opFreeImage(image);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(VideoClipTest, Y4mChromaLayoutsAreReadIntoFullResolution)
{
    struct Case {
        std::string colourSpace, chroma;
        int uAtRow1Column3;
    };
    // 4 x 2 pixels: 4:2:0 holds 2 x 1 chroma samples, 4:2:2 2 x 2, 4:4:4 4 x 2.
    for (const Case& c : {Case{" C420jpeg", std::string("\x50\x60\xA0\xB0", 4), 0x60},
                          Case{"", std::string("\x50\x60\xA0\xB0", 4), 0x60},
                          Case{" C422", std::string("\x50\x60\x70\x80\xA0\xB0\xC0\xD0", 8), 0x80},
                          Case{" C444", std::string("\x41\x42\x43\x44\x45\x46\x47\x48") + std::string(8, '\x90'), 0x48}}) {
        SCOPED_TRACE(c.colourSpace);
        const std::string file = write("clip.y4m", "YUV4MPEG2 W4 H2 F25:1 Ib A1:1" + c.colourSpace + " XCOMMENT=1\n" +
                                                       frame(c.chroma) + frame(c.chroma));
        std::string error;
        const AVRecord clip = hxhost::importClip(file, 0, &error);
        ASSERT_NE(clip, 0u) << error;
        nslAVRecordGetReferenceFrame(clip);
        OpImage* field = opAllocImage(4, 1, OP_FORMAT_YUVA, 0);
        ASSERT_EQ(cmGetField(cmOpen(0, 0), field, 0, 3), 0);
        EXPECT_EQ(yuvAt(field, 3, 0).y, 0x21);
        EXPECT_EQ(yuvAt(field, 3, 0).u, c.uAtRow1Column3);
        opFreeImage(field);
    }
}

TEST_F(VideoClipTest, BadY4mFilesAreRefusedWithTheirReason)
{
    const std::string good = "YUV4MPEG2 W4 H2 F25:1 C420\n";
    const std::string chroma(2, '\x80'), frame0 = frame(chroma + chroma);
    struct Case {
        std::string bytes, reason;
    };
    for (const Case& c : {Case{"YUV4MPEG W4 H2\n" + frame0, "not a YUV4MPEG2 file"},
                          Case{"YUV4MPEG2 W4\n" + frame0, "no width or height"},
                          Case{"YUV4MPEG2 W0 H2\n" + frame0, "'W0'"},
                          Case{"YUV4MPEG2 W40000 H2\n" + frame0, "'W40000'"},
                          Case{"YUV4MPEG2 W4 H2 F25:0\n" + frame0, "'F25:0'"},
                          Case{"YUV4MPEG2 W4 H2 Ix\n" + frame0, "'Ix'"},
                          Case{"YUV4MPEG2 W4 H2 Q9\n" + frame0, "'Q9'"},
                          Case{"YUV4MPEG2 W4 H2  C420\n" + frame0, "''"},
                          Case{"YUV4MPEG2 W4 H2 Cmono\n" + frame0, "unsupported colour space"},
                          Case{"YUV4MPEG2 W4 H2 C420p10\n" + frame0, "unsupported colour space"},
                          Case{good, "no frames"},
                          Case{good + frame0 + "FRAMEX\n", "frame 1 has no FRAME header"},
                          Case{good + frame0.substr(0, frame0.size() - 1), "frame 0 is truncated"},
                          Case{good + frame0 + "FRA", "unreadable data after frame 1"},
                          Case{std::string(5000, 'Y'), "no YUV4MPEG2 header"}}) {
        std::string error;
        EXPECT_EQ(hxhost::importClip(write("bad.y4m", c.bytes), -1, &error), 0u);
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    std::string error;
    EXPECT_EQ(hxhost::importClip(write("good.y4m", good + frame0), 1, &error), 0u); // only frame 0 exists
    EXPECT_EQ(hxhost::addTestClip(0, 4, 1, hxhost::TestPattern::ColourBars, -1, &error), 0u);
    EXPECT_TRUE(hxhost::sceneBinItems().empty());
}

} // namespace
