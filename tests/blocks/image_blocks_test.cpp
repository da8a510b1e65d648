// Freed picture blocks are kept for the next pictures within a bound: the usual small reserve, or a
// render's larger working set while it asks for one, and never more.
#include "image/image_blocks.h"

#include "hxhost/memory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr size_t kMiB = size_t{1} << 20;
constexpr size_t kUsualReserve = 32 * kMiB;

struct Block {
    void* block = nullptr;
    size_t capacity = 0;
};

std::vector<Block> takeBlocks(int count, size_t bytes)
{
    std::vector<Block> blocks(static_cast<size_t>(count));
    for (Block& b : blocks) {
        b.block = hx::takeBlock(bytes, &b.capacity);
        EXPECT_NE(b.block, nullptr);
    }
    return blocks;
}

void giveBlocks(const std::vector<Block>& blocks)
{
    for (const Block& b : blocks)
        hx::giveBlock(b.block, b.capacity);
}

class ImageBlocksTest : public ::testing::Test {
protected:
    void SetUp() override { hx::releaseKeptBlocks(); }
    void TearDown() override { hx::releaseKeptBlocks(); }
};

TEST_F(ImageBlocksTest, UsuallyTheReserveKeepsNoMoreThanItsBound)
{
    giveBlocks(takeBlocks(6, 12 * kMiB));
    EXPECT_LE(hxhost::keptPictureBlockBytes(), kUsualReserve);
    EXPECT_GE(hxhost::keptPictureBlockBytes(), 24 * kMiB); // the newest two are kept
}

// A render's working set beyond the usual reserve is kept whole and served again without fresh
// memory; once the render ends, the reserve shrinks back.
TEST_F(ImageBlocksTest, ARaisedBoundKeepsTheWorkingSetForTheNextFrame)
{
    {
        const hx::KeptBlocksBound working(100 * kMiB);
        const std::vector<Block> frame = takeBlocks(6, 14 * kMiB);
        giveBlocks(frame);
        const size_t kept = hxhost::keptPictureBlockBytes();
        EXPECT_GE(kept, 6 * 14 * kMiB);
        EXPECT_LE(kept, 100 * kMiB);
        // The next frame's pictures are the same blocks.
        const std::vector<Block> next = takeBlocks(6, 14 * kMiB);
        EXPECT_EQ(hxhost::keptPictureBlockBytes(), 0u);
        for (const Block& b : next) {
            bool reused = false;
            for (const Block& before : frame)
                reused = reused || before.block == b.block;
            EXPECT_TRUE(reused);
        }
        giveBlocks(next);
        // More than the bound: the oldest go.
        giveBlocks(takeBlocks(8, 14 * kMiB));
        EXPECT_LE(hxhost::keptPictureBlockBytes(), 100 * kMiB);
    }
    EXPECT_LE(hxhost::keptPictureBlockBytes(), kUsualReserve);
}

// A block no kept one can serve (a whole photo) trades kept blocks for itself, so the reserve and
// the new block together stay within the bound; the usual reserve is not given up for it.
TEST_F(ImageBlocksTest, UnderARaisedBoundAFreshBlockTakesTheRoomOfKeptOnes)
{
    const hx::KeptBlocksBound working(100 * kMiB);
    giveBlocks(takeBlocks(6, 14 * kMiB));
    ASSERT_GE(hxhost::keptPictureBlockBytes(), 6 * 14 * kMiB);
    const std::vector<Block> photo = takeBlocks(1, 60 * kMiB);
    EXPECT_LE(hxhost::keptPictureBlockBytes() + photo[0].capacity, 100 * kMiB);
    EXPECT_GE(hxhost::keptPictureBlockBytes(), 28 * kMiB);
    giveBlocks(photo);
    EXPECT_LE(hxhost::keptPictureBlockBytes(), 100 * kMiB);
}

TEST_F(ImageBlocksTest, ABoundBelowTheUsualReserveDoesNotShrinkIt)
{
    const hx::KeptBlocksBound small(4 * kMiB);
    giveBlocks(takeBlocks(2, 12 * kMiB));
    EXPECT_GE(hxhost::keptPictureBlockBytes(), 24 * kMiB);
}

} // namespace
