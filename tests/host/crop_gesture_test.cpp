// The pointer on the crop requester's picture: corners, moves and new rectangles in picture pixels.
#include "user/crop_gesture.h"

#include <gtest/gtest.h>

namespace hx {

std::ostream& operator<<(std::ostream& out, const CropRectangle& r)
{
    return out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

} // namespace hx

namespace {

using hx::CropRectangle;

// A 400x300 picture shown at half size from screen point (100, 50); the rectangle's corners are on
// the screen at (150, 100) and (250, 150).
hx::CropPicture halfSize(int32_t minimum = 1)
{
    return {{100, 50, 299, 199}, 400, 300, minimum, minimum, 8};
}
const CropRectangle kShown{100, 100, 200, 100};

CropRectangle dragged(hx::CropGesture& gesture, std::pair<int, int> from, std::pair<int, int> to,
                      const CropRectangle& current = kShown)
{
    EXPECT_TRUE(gesture.press(from.first, from.second, current));
    return gesture.move(to.first, to.second);
}

TEST(CropGesture, ACornerFollowsThePointerAndTheOppositeOneStays)
{
    hx::CropGesture gesture(halfSize());
    EXPECT_EQ(dragged(gesture, {250, 150}, {280, 180}), (CropRectangle{100, 100, 260, 160}));
    // Within reach of the top-left corner, carried past the fixed corner: the rectangle turns over.
    EXPECT_EQ(dragged(gesture, {153, 103}, {275, 175}), (CropRectangle{300, 200, 50, 50}));
}

TEST(CropGesture, InsideTheRectangleMovesItAndItStaysOnThePicture)
{
    hx::CropGesture gesture(halfSize());
    EXPECT_EQ(dragged(gesture, {200, 125}, {210, 120}), (CropRectangle{120, 90, 200, 100}));
    EXPECT_EQ(dragged(gesture, {200, 125}, {400, 0}), (CropRectangle{200, 0, 200, 100}));
    EXPECT_TRUE(gesture.held());
    gesture.release();
    EXPECT_FALSE(gesture.held());
}

TEST(CropGesture, ElsewhereOnThePictureDrawsANewRectangleNoSmallerThanTheMinimum)
{
    hx::CropGesture gesture(halfSize(16));
    EXPECT_EQ(dragged(gesture, {110, 60}, {130, 90}), (CropRectangle{20, 20, 40, 60}));
    EXPECT_EQ(dragged(gesture, {110, 60}, {105, 55}), (CropRectangle{4, 4, 16, 16})) << "grown away from the press";
    EXPECT_EQ(dragged(gesture, {110, 60}, {0, 0}), (CropRectangle{0, 0, 20, 20})) << "the pointer is kept on the picture";
    EXPECT_EQ(dragged(gesture, {110, 60}, {110, 60}), (CropRectangle{20, 20, 16, 16}));
    // Inside a rectangle over the whole picture, which cannot move.
    EXPECT_EQ(dragged(gesture, {150, 100}, {200, 150}, {0, 0, 400, 300}), (CropRectangle{100, 100, 100, 100}));
}

TEST(CropGesture, APressOffThePictureTakesNothing)
{
    hx::CropGesture gesture(halfSize());
    for (const auto& [x, y] : {std::pair{99, 100}, std::pair{300, 100}, std::pair{200, 49}, std::pair{200, 200}})
        EXPECT_FALSE(gesture.press(x, y, kShown)) << x << "," << y;
    EXPECT_FALSE(gesture.held());
    hx::CropGesture empty({{0, 0, 9, 9}, 0, 0, 1, 1, 8});
    EXPECT_FALSE(empty.press(5, 5, kShown)) << "a picture without pixels";
}

} // namespace
