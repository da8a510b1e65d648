// Pictures' rows split between threads: the same pixels at any thread count, and helpers of its own
// in a forked process.
#include "host/image_helpers.h"
#include "support/test_home.h"

#include "hxhost/setup.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

using PixelThreadsTest = HostTest;

// The bytes of a format-1 or format-7 image.
std::vector<uint8_t> bytesOf(const OpImage* image)
{
    const std::vector<Yuv> pixels = pixelsOf(image);
    std::vector<uint8_t> bytes;
    for (const Yuv& p : pixels)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(p.y), static_cast<uint8_t>(p.u), static_cast<uint8_t>(p.v)});
    return bytes;
}

// Scaling (with and without halved copies) and fields of frames in both formats, at `threads`.
std::vector<std::vector<uint8_t>> picturesAt(int32_t threads)
{
    hxhost::setPixelThreads(threads);
    std::vector<std::vector<uint8_t>> pictures;
    for (bool copies : {false, true}) {
        hxhost::setReducedCopies(copies);
        // A new picture each time, so that its halved copies are made at this thread count.
        OpImage* source = noiseImage(1001, 903);
        OpImage* target = opAllocImage(90, 97, OP_FORMAT_YUVA, 0);
        EXPECT_EQ(opScaleImageSP(source, target, 3.7, 11.2, 955.5, 861.25, 0x60700), 0);
        pictures.push_back(bytesOf(target));
        opFreeImage(target);
        opFreeImage(source);
    }
    for (int format : {OP_FORMAT_YUVA, OP_FORMAT_YUV420}) {
        OpImage* frame = opConvertImage(noiseImage(64, 301, 5), format, 0);
        for (int parity : {0, 1}) {
            OpImage* field = opMakeField(frame, 0, parity);
            pictures.push_back(bytesOf(field));
            opFreeImage(field);
        }
        opFreeImage(frame);
    }
    return pictures;
}

TEST_F(PixelThreadsTest, EveryThreadCountGivesTheSamePixels)
{
    const std::vector<std::vector<uint8_t>> one = picturesAt(1);
    for (int32_t threads : {2, 3, 7})
        EXPECT_TRUE(picturesAt(threads) == one) << threads << " threads";
}

TEST_F(PixelThreadsTest, AForkedChildSplitsRowsWithHelpersOfItsOwn)
{
    const std::vector<std::vector<uint8_t>> parents = picturesAt(2); // the parent's helpers have run
    const pid_t child = fork();
    if (child == 0) {
        alarm(10); // a child waiting for its parent's helpers would wait for ever
        _exit(picturesAt(2) == parents ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

} // namespace
