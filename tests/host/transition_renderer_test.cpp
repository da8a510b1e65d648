// The transition renderer's pixels at known positions, on frames and fields of every format.
#include "host/image_helpers.h"
#include "support/test_home.h"

#include "host/hxmain.h"
#include "hxhost/transitions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

using hxhost::TransitionType;

const TransitionType& type(const char* file)
{
    const TransitionType* t = hxhost::findTransition(file);
    EXPECT_NE(t, nullptr) << file;
    return *t;
}

// A block of a transition's defaults with some settings changed.
std::vector<uint8_t> prefs(const TransitionType& t, std::initializer_list<std::pair<const char*, int32_t>> values)
{
    std::vector<uint8_t> block = t.defaultPrefs();
    for (const auto& [key, value] : values) {
        const hxhost::TransitionSetting* s = t.setting(key);
        EXPECT_NE(s, nullptr) << key;
        if (s)
            hxhost::setSettingValue(*s, value, block.data(), block.size());
    }
    return block;
}

OpImage* flat(int w, int h, int luma, uint16_t aspect = 1000)
{
    OpImage* image = yuvImage(w, h, [&](int, int) { return Yuv{luma, 128, 128}; });
    image->aspect = aspect;
    return image;
}

size_t bytesOf(const OpImage* image)
{
    switch (image->format) {
    case OP_FORMAT_YUVA:
        return static_cast<size_t>(image->width) * image->height * 4;
    case OP_FORMAT_YUV420:
        return static_cast<size_t>(image->width) * image->height +
               2 * static_cast<size_t>((image->width + 1) / 2) * ((image->height + 1) / 2);
    default:
        return static_cast<size_t>(image->width) * image->height * 2;
    }
}

// Renders into a new picture like `from`; the test frees it.
OpImage* render(const TransitionType& t, const std::vector<uint8_t>& block, const OpImage* from, const OpImage* to,
                double position, int parity = -1)
{
    OpImage* out = opCloneImage(from, 0);
    std::memset(out->planes[0], 0x5A, bytesOf(out));
    std::string error;
    EXPECT_TRUE(hxhost::renderTransition(t, block.data(), block.size(), from, to, out, position, parity, &error)) << error;
    return out;
}

int luma(const OpImage* image, int x, int y)
{
    return yuvAt(image, x, y).y;
}

class TransitionRendererTest : public HostTest {
protected:
    void TearDown() override
    {
        for (OpImage* image : images_)
            opFreeImage(image);
        EXPECT_EQ(hxhost::liveCounts().images, 0);
        HostTest::TearDown();
    }
    OpImage* keep(OpImage* image)
    {
        images_.push_back(image);
        return image;
    }
    // Flat pictures of luma 50 (outgoing) and 200 (incoming), so each pixel tells whose it is.
    std::pair<OpImage*, OpImage*> outgoingAndIncoming(int w, int h, uint16_t aspect = 1000)
    {
        return {keep(flat(w, h, 50, aspect)), keep(flat(w, h, 200, aspect))};
    }

private:
    std::vector<OpImage*> images_;
};

TEST_F(TransitionRendererTest, PositionZeroIsTheFirstPictureAndOneTheSecondInEveryFormat)
{
    for (uint32_t format : kFormats) {
        OpImage* from = keep(opConvertImage(yuvImage(37, 21, [](int x, int y) { return Yuv{20 + x + 3 * y, 60 + x, 200 - y}; }), format, 0));
        OpImage* to = keep(opConvertImage(yuvImage(37, 21, [](int x, int y) { return Yuv{230 - x - y, 90 + y, 100 + 2 * x}; }), format, 0));
        for (const TransitionType& t : hxhost::transitionCatalogue()) {
            const std::vector<uint8_t> block = prefs(t, {});
            for (double position : {-0.5, 0.0, 1.0, 1.5}) {
                OpImage* out = keep(render(t, block, from, to, position));
                const OpImage* expected = position <= 0 ? from : to;
                EXPECT_EQ(std::memcmp(out->planes[0], expected->planes[0], bytesOf(out)), 0)
                    << t.file << " format " << format << " at " << position;
            }
        }
    }
}

TEST_F(TransitionRendererTest, ADissolveMixesEveryByteInProportion)
{
    for (uint32_t format : kFormats) {
        OpImage* from = keep(opConvertImage(yuvImage(16, 8, [](int x, int y) { return Yuv{16 + 13 * x, 40 + 9 * y, 128}; }), format, 0));
        OpImage* to = keep(opConvertImage(yuvImage(16, 8, [](int x, int y) { return Yuv{235 - 7 * y, 200, 30 + 11 * x}; }), format, 0));
        OpImage* middle = keep(render(type("dissolve"), {}, from, to, 0.5));
        OpImage* quarter = keep(render(type("dissolve"), {}, from, to, 0.25));
        for (size_t i = 0; i < bytesOf(from); ++i) {
            const int a = from->planes[0][i], b = to->planes[0][i];
            EXPECT_EQ(middle->planes[0][i], (a + b + 1) / 2) << "format " << format << " byte " << i;
            EXPECT_NEAR(quarter->planes[0][i], (3 * a + b) / 4.0, 0.51) << "format " << format << " byte " << i;
        }
    }
}

TEST_F(TransitionRendererTest, AFadeGoesThroughVideoBlackOrWhiteAndHolds)
{
    OpImage* from = keep(flat(8, 4, 180));
    OpImage* to = keep(flat(8, 4, 90));
    const TransitionType& fade = type("fade");
    OpImage* black = keep(render(fade, {}, from, to, 0.5));
    EXPECT_EQ(yuvAt(black, 3, 2).y, 16);
    EXPECT_EQ(yuvAt(black, 3, 2).u, 128);
    EXPECT_EQ(black->planes[0][0], 0xFF);
    OpImage* white = keep(render(fade, prefs(fade, {{"colour", 1}}), from, to, 0.5));
    EXPECT_EQ(luma(white, 0, 0), 235);
    // A hold of half the length stays black from a quarter to three quarters.
    const std::vector<uint8_t> hold = prefs(fade, {{"hold", 50}});
    for (double p : {0.26, 0.5, 0.74})
        EXPECT_EQ(luma(keep(render(fade, hold, from, to, p)), 1, 1), 16) << p;
    EXPECT_NEAR(luma(keep(render(fade, hold, from, to, 0.125)), 1, 1), (180 + 16) / 2.0, 1);
    // Down to black, then up to the second picture.
    int previous = 180;
    for (int i = 1; i <= 10; ++i) {
        const int y = luma(keep(render(fade, {}, from, to, i * 0.05)), 2, 2);
        EXPECT_LE(y, previous);
        previous = y;
    }
    EXPECT_NEAR(luma(keep(render(fade, {}, from, to, 0.75)), 2, 2), (16 + 90) / 2.0, 1);
}

TEST_F(TransitionRendererTest, AHardWipeEdgeIsWhereThePositionSaysInEachDirection)
{
    const TransitionType& wipe = type("wipe");
    const auto [from, to] = outgoingAndIncoming(100, 50);
    struct Case {
        int direction;
        std::function<bool(int x, int y)> incoming; // at position 0.3
    };
    const Case cases[] = {{0, [](int x, int) { return x < 30; }},
                          {1, [](int x, int) { return x >= 70; }},
                          {2, [](int, int y) { return y < 15; }},
                          {3, [](int, int y) { return y >= 35; }}};
    for (const Case& c : cases) {
        OpImage* out = keep(render(wipe, prefs(wipe, {{"direction", c.direction}, {"softness", 0}}), from, to, 0.3));
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(luma(out, x, y), c.incoming(x, y) ? 200 : 50) << "direction " << c.direction << " at " << x << "," << y;
    }
    // Between two pixels the edge covers the pixel it is in by its share.
    OpImage* half = keep(render(wipe, prefs(wipe, {{"softness", 0}}), from, to, 0.305));
    EXPECT_EQ(luma(half, 29, 0), 200);
    EXPECT_EQ(luma(half, 30, 0), 125);
    EXPECT_EQ(luma(half, 31, 0), 50);
}

TEST_F(TransitionRendererTest, AFieldIsWipedOnItsOwnRowsOfTheFrame)
{
    const TransitionType& wipe = type("wipe");
    const std::vector<uint8_t> down = prefs(wipe, {{"direction", 2}, {"softness", 0}});
    const auto [from, to] = outgoingAndIncoming(10, 50);
    // A 100-row frame wiped to row 31: the even field has frame rows 0..30 in, the odd rows 1..29.
    OpImage* even = keep(render(wipe, down, from, to, 0.31, 0));
    OpImage* odd = keep(render(wipe, down, from, to, 0.31, 1));
    EXPECT_EQ(luma(even, 5, 15), 200);
    EXPECT_EQ(luma(even, 5, 16), 50);
    EXPECT_EQ(luma(odd, 5, 14), 200);
    EXPECT_EQ(luma(odd, 5, 15), 50);
}

TEST_F(TransitionRendererTest, ASoftEdgeFallsSteadilyAcrossItsWidthAndABorderShowsItsColour)
{
    const TransitionType& wipe = type("wipe");
    const auto [from, to] = outgoingAndIncoming(400, 4);
    OpImage* soft = keep(render(wipe, prefs(wipe, {{"softness", 40}}), from, to, 0.5));
    int previous = 255, ramp = 0;
    for (int x = 0; x < 400; ++x) {
        const int y = luma(soft, x, 1);
        EXPECT_LE(y, previous) << x;
        ramp += y > 50 && y < 200;
        previous = y;
    }
    // 40 % of the widest edge, a quarter of the width: 40 pixels.
    EXPECT_NEAR(ramp, 40, 2);
    EXPECT_NEAR(luma(soft, 200, 1), 125, 3);

    // The widest border is a twentieth of the frame's height: 20 pixels of a 400-row frame.
    const auto [tall, tallTo] = outgoingAndIncoming(400, 400);
    for (int colour : {0, 1}) {
        OpImage* bordered = keep(render(wipe, prefs(wipe, {{"softness", 0}, {"border", 100}, {"border-colour", colour}}), tall, tallTo, 0.5));
        int band = 0;
        for (int x = 0; x < 400; ++x)
            band += luma(bordered, x, 200) == (colour == 0 ? 235 : 16);
        EXPECT_NEAR(band, 20, 1) << colour;
    }
}

TEST_F(TransitionRendererTest, APushMovesBothPicturesByItsPositionWithSubPixelOffsets)
{
    const TransitionType& push = type("push");
    OpImage* from = keep(yuvImage(100, 60, [](int x, int y) { return Yuv{x + y, 128, 128}; }));
    OpImage* to = keep(yuvImage(100, 60, [](int x, int y) { return Yuv{100 + x + y, 128, 128}; }));
    auto at = [&](int direction, double p) { return keep(render(push, prefs(push, {{"direction", direction}, {"smooth", 0}}), from, to, p)); };
    OpImage* left = at(0, 0.25);
    EXPECT_EQ(luma(left, 10, 5), luma(from, 35, 5));
    EXPECT_EQ(luma(left, 74, 5), luma(from, 99, 5));
    EXPECT_EQ(luma(left, 75, 5), luma(to, 0, 5));
    EXPECT_EQ(luma(left, 99, 5), luma(to, 24, 5));
    OpImage* right = at(1, 0.25);
    EXPECT_EQ(luma(right, 24, 5), luma(to, 99, 5));
    EXPECT_EQ(luma(right, 25, 5), luma(from, 0, 5));
    OpImage* up = at(2, 0.5);
    EXPECT_EQ(luma(up, 7, 0), luma(from, 7, 30));
    EXPECT_EQ(luma(up, 7, 30), luma(to, 7, 0));
    OpImage* down = at(3, 0.5);
    EXPECT_EQ(luma(down, 7, 29), luma(to, 7, 59));
    EXPECT_EQ(luma(down, 7, 30), luma(from, 7, 0));
    // Half a pixel further: each pixel the mean of two neighbours.
    OpImage* between = at(0, 0.255);
    EXPECT_EQ(luma(between, 10, 5), (luma(from, 35, 5) + luma(from, 36, 5) + 1) / 2);
    EXPECT_EQ(luma(between, 74, 5), (luma(from, 99, 5) + luma(to, 0, 5) + 1) / 2);
}

// Whether pixel (x, y) of a format-1 output shows the incoming picture (1), the outgoing (0), or
// neither (-1, an edge).
int side(const OpImage* out, int x, int y)
{
    const int v = luma(out, x, y);
    return v == 200 ? 1 : v == 50 ? 0 : -1;
}

TEST_F(TransitionRendererTest, AnIrisOpensARoundCircleOnTheDisplayedPicture)
{
    const TransitionType& iris = type("iris");
    // Pixels twice as wide as high: the circle is half as many pixels across as down.
    const auto [from, to] = outgoingAndIncoming(101, 201, 2000);
    const double corner = std::hypot(101.0, 100.5);
    const double p = 0.4, radius = -0.5 + p * (corner + 1.0);
    OpImage* out = keep(render(iris, prefs(iris, {{"softness", 0}}), from, to, p));
    for (int y = 0; y < 201; ++y)
        for (int x = 0; x < 101; ++x) {
            const double r = std::hypot((x + 0.5 - 50.5) * 2.0, y + 0.5 - 100.5);
            if (std::fabs(r - radius) > 1.5) {
                ASSERT_EQ(side(out, x, y), r < radius ? 1 : 0) << x << "," << y;
            }
        }
    // Closing: the first picture keeps the middle.
    OpImage* closing = keep(render(iris, prefs(iris, {{"direction", 1}, {"softness", 0}}), from, to, 0.9));
    EXPECT_EQ(side(closing, 50, 100), 0);
    EXPECT_EQ(side(closing, 0, 0), 1);
}

TEST_F(TransitionRendererTest, AClockWipeSweepsItsAngleFromItsStart)
{
    const TransitionType& clock = type("clock");
    const auto [from, to] = outgoingAndIncoming(200, 200);
    struct Case {
        int direction, start;
        double position;
        std::function<bool(double angle)> incoming; // angle clockwise from 12 o'clock, degrees
    };
    const Case cases[] = {{0, 0, 0.25, [](double a) { return a < 90; }},
                          {0, 0, 0.5, [](double a) { return a < 180; }},
                          {0, 0, 0.875, [](double a) { return a < 315; }},
                          {1, 0, 0.25, [](double a) { return a > 270; }},
                          {0, 1, 0.25, [](double a) { return a > 90 && a < 180; }},
                          {0, 0, 0.125, [](double a) { return a < 45; }}};
    for (const Case& c : cases) {
        OpImage* out = keep(render(clock, prefs(clock, {{"direction", c.direction}, {"start", c.start}, {"softness", 0}}), from, to, c.position));
        for (int y = 0; y < 200; y += 3)
            for (int x = 0; x < 200; x += 3) {
                const double dx = x + 0.5 - 100, dy = y + 0.5 - 100;
                const double r = std::hypot(dx, dy);
                double angle = std::atan2(dx, -dy) * 180 / M_PI;
                angle += angle < 0 ? 360 : 0;
                // Away from the centre and more than a pixel and a half from either edge.
                const double edgeAngle = c.position * 360;
                const double hand = c.direction ? 360 - edgeAngle : edgeAngle, start = 90.0 * c.start;
                auto away = [&](double edge) {
                    const double d = std::fabs(std::remainder(angle - edge, 360.0)) * M_PI / 180;
                    return r * std::sin(std::min(d, M_PI / 2)) > 1.5;
                };
                if (r < 3 || !away(hand) || !away(start))
                    continue;
                ASSERT_EQ(side(out, x, y), c.incoming(angle) ? 1 : 0)
                    << "case " << &c - cases << " at " << x << "," << y << " angle " << angle;
            }
    }
}

TEST_F(TransitionRendererTest, ASoftClockEdgeHasNoStepAnywhereAlongItsRows)
{
    // A ramp 29 rows wide moves luma by at most about 6 a pixel, a bordered edge by about 12; a
    // stretch of the row filled with the wrong picture would show as a step.
    const TransitionType& clock = type("clock");
    const auto [from, to] = outgoingAndIncoming(360, 288);
    for (int start = 0; start < 4; ++start)
        for (double p : {0.05, 0.3, 0.55, 0.97}) {
            const std::vector<uint8_t> block = prefs(clock, {{"softness", 40}, {"border", 30}, {"start", start}, {"direction", start % 2}});
            OpImage* out = keep(render(clock, block, from, to, p));
            for (int y = 0; y < 288; ++y)
                for (int x = 1; x < 360; ++x) {
                    if (std::hypot(x - 180.0, y - 144.0) < 40)
                        continue;
                    ASSERT_LE(std::abs(luma(out, x, y) - luma(out, x - 1, y)), 14)
                        << "start " << start << " at " << p << ": " << x << "," << y;
                }
        }
}

TEST_F(TransitionRendererTest, EveryFormatShowsTheSameWipe)
{
    const TransitionType& wipe = type("wipe");
    const std::vector<uint8_t> block = prefs(wipe, {{"softness", 0}});
    for (uint32_t format : kFormats) {
        OpImage* from = keep(opConvertImage(flat(40, 10, 50), format, 0));
        OpImage* to = keep(opConvertImage(flat(40, 10, 200), format, 0));
        OpImage* out = keep(render(wipe, block, from, to, 0.5));
        const std::vector<Yuv> pixels = pixelsOf(out);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x) {
                const Yuv& c = pixels[static_cast<size_t>(y) * 40 + x];
                EXPECT_EQ(c.y, x < 20 ? 200 : 50) << "format " << format << " at " << x << "," << y;
                EXPECT_EQ(c.u, 128);
            }
    }
}

TEST_F(TransitionRendererTest, ALoadedOperatorRendersWithItsOwnBlock)
{
    const TransitionType& wipe = type("wipe");
    HxOperator* op = mainLoadOperator("transition/wipe", 1);
    ASSERT_NE(op, nullptr);
    const std::vector<uint8_t> block = prefs(wipe, {{"direction", 3}, {"softness", 30}});
    ASSERT_EQ(opSetPrefs(op, block.data(), static_cast<uint32_t>(block.size())), 0);
    const auto [from, to] = outgoingAndIncoming(30, 30);
    OpImage* expected = keep(render(wipe, block, from, to, 0.4));
    OpImage* out = keep(opCloneImage(from, 0));
    std::string error;
    ASSERT_TRUE(hxhost::renderTransition(op, from, to, out, 0.4, -1, &error)) << error;
    EXPECT_EQ(std::memcmp(out->planes[0], expected->planes[0], bytesOf(out)), 0);
    mainUnloadOperator(op);

    HxOperator* pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
    EXPECT_FALSE(hxhost::renderTransition(pan, from, to, out, 0.4, -1, &error));
    EXPECT_FALSE(error.empty());
    mainUnloadOperator(pan);
}

TEST_F(TransitionRendererTest, BadPicturesAndPositionsAreRefusedWithoutTouchingTheOutput)
{
    const TransitionType& dissolve = type("dissolve");
    const auto [from, to] = outgoingAndIncoming(8, 8);
    OpImage* out = keep(flat(8, 8, 99));
    OpImage* narrow = keep(flat(7, 8, 200));
    OpImage* other = keep(opConvertImage(flat(8, 8, 200), OP_FORMAT_YUV420, 0));
    auto refused = [&](const OpImage* a, const OpImage* b, OpImage* o, double p, int parity) {
        std::string error;
        const bool ok = hxhost::renderTransition(dissolve, nullptr, 0, a, b, o, p, parity, &error);
        return !ok && !error.empty();
    };
    EXPECT_TRUE(refused(from, narrow, out, 0.5, -1));
    EXPECT_TRUE(refused(from, other, out, 0.5, -1));
    EXPECT_TRUE(refused(from, to, nullptr, 0.5, -1));
    EXPECT_TRUE(refused(from, to, const_cast<OpImage*>(from), 0.5, -1));
    EXPECT_TRUE(refused(from, to, out, std::nan(""), -1));
    EXPECT_TRUE(refused(from, to, out, 0.5, 2));
    EXPECT_EQ(luma(out, 3, 3), 99);
}

} // namespace
