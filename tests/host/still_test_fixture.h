// A fresh host whose tests import stills from files they write and read the colours back.
#ifndef TESTS_HOST_STILL_TEST_FIXTURE_H
#define TESTS_HOST_STILL_TEST_FIXTURE_H

#include "host/hxscenes.h"
#include "host/image_helpers.h"
#include "support/test_home.h"

#include <cstdlib>

class StillTest : public HostTest {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }

    // Imports a file and reads its still; the still is freed by the caller.
    OpImage* importAndFetch(const std::string& file)
    {
        std::string error;
        const AVRecord record = hxhost::importStill(file, &error);
        EXPECT_NE(record, 0u) << error;
        return record ? nslGetStillset(record) : nullptr;
    }

    // The colour at (x, y) of the still imported from `file`.
    Yuv colourOf(const std::string& file, int x = 0, int y = 0)
    {
        OpImage* still = importAndFetch(file);
        if (!still)
            return {-1, -1, -1};
        const Yuv colour = yuvAt(still, x, y);
        opFreeImage(still);
        return colour;
    }
};

inline void expectColour(const Yuv& actual, const Yuv& expected, int tolerance)
{
    EXPECT_LE(std::abs(actual.y - expected.y), tolerance) << actual.y << " vs " << expected.y;
    EXPECT_LE(std::abs(actual.u - expected.u), tolerance) << actual.u << " vs " << expected.u;
    EXPECT_LE(std::abs(actual.v - expected.v), tolerance) << actual.v << " vs " << expected.v;
}

constexpr Yuv kRed601{81, 90, 240}, kRed709{63, 102, 240}, kBlack{16, 128, 128};

#endif
